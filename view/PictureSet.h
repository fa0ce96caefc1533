// The pictures of the board and the window icon, from the embedded resources. Every picture is
// checked at start; each is decoded the first time it is shown, as a first board shows few.
#pragma once

#include <QByteArray>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <array>

#include "board/Tiles.h"

namespace kov {

// Slot 0 the blank cell, slots 2..96 the pieces; slot 1 stays empty.
class PictureSet {
  public:
    // Finds and checks every picture and loads the icon from the embedded resources. On failure
    // returns false and puts one line saying which picture is missing or malformed into *error.
    bool Load(QString* error);
    // The picture at a slot (a null pixmap for slot 1 or out of range), decoded on the first
    // call; its address stays the same from then on. For the thread that drew the window only.
    const QPixmap& Picture(int slot) const;
    const QIcon& Icon() const;

  private:
    std::array<QByteArray, PictureSlots> files_;  // checked, read in place from the binary
    mutable std::array<QPixmap, PictureSlots> pictures_;
    QIcon icon_;
};

}  // namespace kov
