#include "view/BoardView.h"

#include <QMouseEvent>
#include <QPalette>

#include "game/Defaults.h"
#include "view/PictureCell.h"
#include "view/PictureSet.h"

namespace kov {

BoardView::BoardView(const GameController& game, const PictureSet& pictures, QWidget* parent)
    : QWidget(parent), game_(game), pictures_(pictures) {
    QPalette ground = palette();
    ground.setColor(QPalette::Window, QColor(BoardGround, BoardGround, BoardGround));
    setPalette(ground);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
    // Movement without a button held must be reported too: it picks the arrow keys' target.
    setMouseTracking(true);
    cells_.reserve(MaxCells + 1);
    cells_.push_back(nullptr);
}

PictureCell* BoardView::Cell(int n) const {
    if (n < 1 || n > CellsBuilt()) return nullptr;
    return cells_[static_cast<std::size_t>(n)];
}

QRect BoardView::Place(int n) const {
    const PixelRect r = game_.CellRect(n);
    return {r.left, r.top, r.width, r.height};
}

void BoardView::Rebuild() {
    for (std::size_t n = 1; n < cells_.size(); ++n)
        delete cells_[n];
    cells_.resize(1);
    const QPixmap* blank = &pictures_.Picture(0);
    // A cell made before the board first shows appears with it; one made later waits for its
    // show(), once it is in place.
    const bool shown = isVisible();
    for (int n = 1; n <= game_.CellCount(); ++n) {
        auto* cell = new PictureCell(this);
        cell->setGeometry(Place(n));
        cell->SetPicture(blank);
        if (shown) cell->show();
        cells_.push_back(cell);
    }
    FitToBoard();
}

void BoardView::ReLay() {
    const int cells = CellsBuilt();
    // Every cell leaves before any moves, so none is ever seen half way.
    for (int n = 1; n <= cells; ++n)
        cells_[static_cast<std::size_t>(n)]->hide();
    for (int n = 1; n <= cells; ++n) {
        PictureCell* cell = cells_[static_cast<std::size_t>(n)];
        const QRect want = Place(n);
        // Only what changes is written: the cell at (1, 1) never moves.
        if (cell->pos() != want.topLeft()) cell->move(want.topLeft());
        if (cell->size() != want.size()) cell->resize(want.size());
        cell->show();
    }
    FitToBoard();
}

// Qt paints only from the event loop, so swapping the picture and scheduling one update is
// already atomic on screen.
void BoardView::Paint(const std::vector<CellPicture>& cells) {
    for (const CellPicture& c : cells) {
        if (PictureCell* cell = Cell(c.cell)) cell->SetPicture(&pictures_.Picture(c.picture));
    }
}

void BoardView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    emit clicked(event->position().toPoint());
}

// X sends press, release, double-click, release: the first press has turned the piece once,
// this second press turns it again, so a double click is two turns.
void BoardView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    emit doubleClicked(event->position().toPoint());
}

void BoardView::mouseMoveEvent(QMouseEvent* event) {
    emit pointerMoved(event->position().toPoint());
}

// A pointer can arrive and stay still, with no move after it (a pen set down, a jump of the
// pointer on Wayland): where it came to rest is a cell the arrows then turn.
void BoardView::enterEvent(QEnterEvent* event) {
    emit pointerMoved(event->position().toPoint());
}

void BoardView::FitToBoard() {
    const PixelSize size = game_.BoardPixels();
    resize(size.width, size.height);
}

}  // namespace kov
