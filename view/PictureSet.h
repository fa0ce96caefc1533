// The pictures of the board and the window icon, loaded once from the embedded resources.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <array>

#include "board/Tiles.h"

namespace kov {

// Slot 0 the blank cell, slots 2..96 the pieces; slot 1 stays empty.
class PictureSet {
  public:
    // Loads every picture and the icon from the embedded resources. On failure returns false
    // and puts one line saying which picture is missing or malformed into *error.
    bool Load(QString* error);
    // The picture at a slot (a null pixmap for slot 1 or out of range).
    const QPixmap& Picture(int slot) const;
    const QIcon& Icon() const;

  private:
    std::array<QPixmap, PictureSlots> pictures_;
    QIcon icon_;
};

}  // namespace kov
