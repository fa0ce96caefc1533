#include "view/PictureCell.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include "view/BoardView.h"

namespace kov {

PictureCell::PictureCell(BoardView* board, int index)
    : QWidget(board), board_(board), index_(index) {
    // The pictures are opaque and cover the cell, so Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // Movement without a button held must reach the cell too: it picks the arrow keys' target.
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void PictureCell::SetPicture(const QPixmap* picture) {
    if (picture_ == picture) return;
    picture_ = picture;
    update();
}

void PictureCell::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (picture_ == nullptr || picture_->isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    // No smooth transform: a 35-pixel picture in a 70-pixel cell is pixel-doubled, crisp.
    painter.drawPixmap(rect(), *picture_);
}

void PictureCell::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    board_->ReportClick(index_);
}

// X sends press, release, double-click, release: the first press has turned the piece once,
// this second press turns it again, so a double click is two turns.
void PictureCell::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    board_->ReportDoubleClick(index_);
}

void PictureCell::mouseMoveEvent(QMouseEvent*) {
    board_->ReportMouseMove(index_);
}

}  // namespace kov
