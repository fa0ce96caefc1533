#include "view/PictureCell.h"

#include <QPainter>
#include <QPixmap>

namespace kov {

PictureCell::PictureCell(QWidget* board) : QWidget(board) {
    // The pictures are opaque and cover the cell, so Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
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

}  // namespace kov
