#pragma once

#include <QImage>
#include <QRgba64>

#include <array>

// Reads row y of image as 16-bit RGBA, exactly as QImage::pixelColor sees
// each pixel (unpremultiplied, grey spread to R, G, B). False for formats
// it does not know; the caller then takes the per-pixel road.
bool readRow64(const QImage &image, int y, QRgba64 *row);
bool rowReadable(QImage::Format format);

// Row y of an image with 8-bit levels (RGB32, ARGB32, RGBX8888, RGBA8888,
// Grayscale8, Indexed8) as ARGB32, exactly as pixelColor sees each pixel.
bool readRow32(const QImage &image, int y, QRgb *row);
bool eightBitLevels(QImage::Format format);

// The pixel value record's float for every 16-bit channel level, as
// scaledFraction(QColor fraction, scale) gives it: scale 255 for colour
// levels, 100 for ink per cent.
const std::array<float, 65536> &levelTable(double scale);

struct PixelSources;

// The images of sources in formats the row readers know, converted exactly
// where they are not; images already readable are shared, not copied.
PixelSources readableByRows(const PixelSources &sources);
