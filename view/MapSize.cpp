#include "view/MapSize.h"

#include <QAction>

#include "view/BoardView.h"
#include "view/PictureCell.h"

namespace kov {

void BoardView::UnloadTileGrid() {
    ClearBoard(s_);
    // Removed while the old size is in force, so exactly the cells that exist go.
    const int cells = s_.CellCount();
    for (int n = 1; n <= cells && n <= CellsBuilt(); ++n)
        delete img_[static_cast<std::size_t>(n)];
    img_.resize(1);
}

void ChangeMapSize(BoardView& board, const QList<QAction*>& sizeItems,
                   const std::function<void()>& newGame) {
    for (QAction* item : sizeItems) {
        if (item->isChecked()) item->setChecked(false);
    }
    board.BuildTileGrid();
    newGame();
}

}  // namespace kov
