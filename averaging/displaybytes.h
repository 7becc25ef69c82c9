#pragma once

#include "pixelmask.h"

#include <QImage>
#include <QtGlobal>

#include <lcms2.h>

#include <array>

// What the passes share about the displayed bytes and the pixels they come from.

// A Format_RGBA8888 display image's pixels, taken once on the calling thread:
// scanLine() and bits() detach, which would touch the image unguarded from
// the worker threads.
class DisplayRows
{
public:
    explicit DisplayRows(QImage *display) : base(display->bits()), stride(display->bytesPerLine()) {}
    quint32 *operator[](int y) const { return reinterpret_cast<quint32 *>(base + qsizetype(y) * stride); }

private:
    uchar *base;
    qsizetype stride;
};

constexpr quint32 transparentMask = 0x00ffffffu; // clears the alpha byte of packed R, G, B, A

// The bytes setPixelColor stores in a Format_RGBA8888 image for monitor levels
// rgb, fully opaque; a masked pixel keeps the colour with alpha 0.
quint32 opaqueDisplayBytes(const float rgb[3]);

// Whether a pixel with these 16-bit levels is counted. The masks of the
// pixel value record hold on whole levels: only level 0 gives the value 0
// and only level 65535 gives 255 (or 100 per cent), and only a coverage
// level of 0 is no coverage.
inline bool countedLevels(const quint16 channels[4], quint16 coverage, int channelCount)
{
    return pixelMask<quint16>(channels, coverage, channelCount, 65535, 65535) == PixelMask::Counted;
}

// The record's value of every 16-bit level: colour levels below four channels, ink per cent for four.
const std::array<float, 65536> &levelsFor(int channelCount);

// The display as the screen takes it (premultiplied ARGB32), converted on
// all cores, so that making the pixmap costs nothing on the window's thread.
QImage screenImage(const QImage &display);
