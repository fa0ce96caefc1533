// The committed picture files as the tests see them: raw bytes, Qt's own decoding, and each
// pixel told back as the ink of the drawing (shade, outline or background).
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <array>
#include <vector>

namespace kov::test {

inline constexpr int N = 35;
inline constexpr int Black = 5, Back = 6, Unknown = -1;
using InkMap = std::array<std::array<int, N>, N>;  // [y][x]

QString AssetsDir();
QByteArray ReadAsset(const QString& relative);
QByteArray PictureBytes(int slot);
// Decoded by Qt's own reader, so the game's decoder is checked against an independent one.
QImage PictureImage(int slot);
// Shade 0..4, Black, Back, or Unknown for a colour outside the slot's ramp.
InkMap Inks(int slot);
// Every slot that has a picture.
std::vector<int> Slots();
// The expected inks of one row written as text: '#' black, '.' background, '0'..'4' shades.
std::array<int, N> Row(const char* text);

}  // namespace kov::test
