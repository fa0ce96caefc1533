// Decoding the embedded pictures and icon. The set is one exact format, so every header field
// is checked and the pixels go straight into the pixmap's own format; anything else is a broken
// build, reported in words rather than shown as a blank cell.
#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QString>

namespace kov::art {

// Whether the bytes are a 35 x 35, 24-bit, bottom-up bitmap file: every header field and the
// size; false and the reason in *why when they are anything else. Bytes that pass always decode.
bool CheckPicture(const QByteArray& bytes, QString* why);

// Such a bitmap as an RGB32 image; a null image and the reason in *why when CheckPicture
// refuses the bytes.
QImage DecodePicture(const QByteArray& bytes, QString* why);

// The .ico as picgen writes it (8-bit palette images with an opaque mask), every image added to
// *icon; false and the reason in *why unless both the 24 and the 16 pixel images are there.
bool DecodeIcon(const QByteArray& bytes, QIcon* icon, QString* why);

}  // namespace kov::art
