// The window icon: a flanged pipe coupling, in 256-colour images packed into one .ico file.
#pragma once

#include <QByteArray>
#include <QImage>
#include <vector>

namespace kov::art {

// The icon at a side of 16 or 24 pixels, as an 8-bit palette image.
QImage DrawIcon(int side);

// An .ico file holding the images in order, each as an 8-bit palette bitmap with an all-opaque
// mask. QImage's own .ico writer stores 32-bit images, so this one is ours.
QByteArray IcoFile(const std::vector<QImage>& images);

}  // namespace kov::art
