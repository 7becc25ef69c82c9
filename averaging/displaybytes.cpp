#include "displaybytes.h"

#include "displayconversion.h"
#include "parallel.h"
#include "pixelrows.h"

#include <QColor>

#include <algorithm>
#include <cstring>
#include <vector>

quint32 opaqueDisplayBytes(const float rgb[3])
{
    QColor colour;
    colour.setRgbF(double(rgb[0]) / 255.0, double(rgb[1]) / 255.0, double(rgb[2]) / 255.0, 1.0);
    const QRgb argb = colour.rgba64().toArgb32();
    const uchar bytes[4] = {uchar(qRed(argb)), uchar(qGreen(argb)), uchar(qBlue(argb)), uchar(qAlpha(argb))};
    quint32 packed;
    std::memcpy(&packed, bytes, 4);
    return packed;
}

const std::array<float, 65536> &levelsFor(int channelCount)
{
    return levelTable(channelCount < 4 ? 255.0 : 100.0);
}

QImage screenImage(const QImage &display)
{
    if (display.format() != QImage::Format_RGBA8888)
        return display.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage screen(display.size(), QImage::Format_ARGB32_Premultiplied);
    if (screen.isNull())
        return screen;
    uchar *bits = screen.bits();
    const qsizetype stride = screen.bytesPerLine();
    const uchar *source = display.constBits();
    const qsizetype sourceStride = display.bytesPerLine();
    const int width = display.width();
    forRowBlocks(display.height(), [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            const uchar *in = source + y * sourceStride;
            auto *out = reinterpret_cast<QRgb *>(bits + y * stride);
            for (int x = 0; x < width; ++x, in += 4) {
                const QRgb argb = qRgba(in[0], in[1], in[2], in[3]);
                out[x] = in[3] == 255 ? argb : qPremultiply(argb);
            }
        }
    });
    return screen;
}
