// Decoding the embedded pictures and icon. The set is one exact format, so every header field
// is checked and the pixels go straight into the pixmap's own format; anything else is a broken
// build, reported in words rather than shown as a blank cell.
#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QString>

namespace kov::art {

// A 35 x 35, 24-bit, bottom-up bitmap file as an RGB32 image; a null image and the reason in
// *why when the bytes are anything else.
QImage DecodePicture(const QByteArray& bytes, QString* why);

// The .ico as picgen writes it (8-bit palette images with an opaque mask), every image added to
// *icon; false and the reason in *why unless both the 24 and the 16 pixel images are there.
bool DecodeIcon(const QByteArray& bytes, QIcon* icon, QString* why);

}  // namespace kov::art
