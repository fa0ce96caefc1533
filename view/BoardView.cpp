#include "view/BoardView.h"

#include <QPalette>

#include "view/PictureCell.h"
#include "view/PictureSet.h"

namespace kov {

BoardView::BoardView(GameState& state, const PictureSet& cnImg, QWidget* parent)
    : QWidget(parent), s_(state), cnImg_(cnImg) {
    QPalette ground = palette();
    ground.setColor(QPalette::Window, QColor(BoardGround, BoardGround, BoardGround));
    setPalette(ground);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);

    auto* tmpl = new PictureCell(this, 0);
    tmpl->SetPicture(&cnImg_.Img(0));
    img_.reserve(MaxCells + 1);
    img_.push_back(tmpl);
}

PictureCell* BoardView::Img(int n) const {
    if (n < 0 || n > CellsBuilt()) return nullptr;
    return img_[static_cast<std::size_t>(n)];
}

QRect BoardView::CellGeometry(int column, int row) const {
    const int g = s_.showGrid != 0 ? 1 : 0;
    const int left = BoardMargin + (column - 1) * s_.tileSize + (column - 1) * g;
    const int top = BoardMargin + (row - 1) * s_.tileSize + (row - 1) * g;
    return {left, top, s_.tileSize, s_.tileSize};
}

void BoardView::BuildTileGrid() {
    int n = 0;
    for (int r = 1; r <= s_.mapRows; ++r) {
        for (int c = 1; c <= s_.mapCols; ++c) {
            ++n;
            PictureCell* cell = img_[0]->CopyAs(n);
            cell->setGeometry(CellGeometry(c, r));
            s_.shownTile[n] = 0;
            s_.shownColour[n] = 0;
            cell->SetPicture(&cnImg_.Img(0));
            cell->show();
            img_.push_back(cell);
        }
    }
    FitToBoard();
}

void BoardView::FitToBoard() {
    const QRect last = CellGeometry(s_.mapCols, s_.mapRows);
    resize(last.right() + 1 + BoardMargin, last.bottom() + 1 + BoardMargin);
}

}  // namespace kov
