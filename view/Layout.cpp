#include "view/Layout.h"

#include <QAction>

#include "view/BoardView.h"
#include "view/PictureCell.h"

namespace kov {

void BoardView::RelayCells() {
    const int cells = s_.CellCount();
    // Every cell leaves before any moves, so none is ever seen half way.
    for (int n = 1; n <= cells; ++n)
        img_[static_cast<std::size_t>(n)]->hide();
    int n = 0;
    for (int r = 1; r <= s_.mapRows; ++r) {
        for (int c = 1; c <= s_.mapCols; ++c) {
            ++n;
            PictureCell* cell = img_[static_cast<std::size_t>(n)];
            const QRect want = CellGeometry(c, r);
            // Only what changes is written: the cell at (1, 1) never moves.
            if (cell->pos() != want.topLeft()) cell->move(want.topLeft());
            if (cell->size() != want.size()) cell->resize(want.size());
            cell->show();
        }
    }
    FitToBoard();
}

void ToggleGrid(BoardView& board, QAction& mnuGrid) {
    GameState& s = board.State();
    if (s.showGrid != 0) {
        s.showGrid = 0;
        mnuGrid.setChecked(false);
    } else {
        s.showGrid = 1;
        mnuGrid.setChecked(true);
    }
    board.RelayCells();
}

void ChangePictureSize(BoardView& board, Int16 size, QAction& mnuGrid, QAction& chosen,
                       QAction& other) {
    GameState& s = board.State();
    if (s.tileSize == size) return;
    s.showGrid = static_cast<Int16>(1 - s.showGrid);
    s.tileSize = size;
    ToggleGrid(board, mnuGrid);
    other.setChecked(false);
    chosen.setChecked(true);
}

}  // namespace kov
