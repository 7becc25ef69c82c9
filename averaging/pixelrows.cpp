#include "pixelrows.h"

#include "pixelvalues.h"

#include <QColor>

#include "parallel.h"

#include <algorithm>

namespace {

void fromArgb32(const QRgb *pixels, int width, bool opaque, bool premultiplied, QRgba64 *row)
{
    for (int x = 0; x < width; ++x) {
        const QRgba64 c = QRgba64::fromArgb32(opaque ? (pixels[x] | 0xff000000u) : pixels[x]);
        row[x] = premultiplied ? c.unpremultiplied() : c;
    }
}

void fromRgba8888(const uchar *bytes, int width, bool premultiplied, QRgba64 *row)
{
    for (int x = 0; x < width; ++x) {
        const uchar *p = bytes + 4 * x;
        const QRgba64 c = QRgba64::fromRgba(p[0], p[1], p[2], p[3]);
        row[x] = premultiplied ? c.unpremultiplied() : c;
    }
}

// Formats whose conversion to straight 8-bit ARGB gives what pixelColor sees.
bool convertsExactlyToArgb32(QImage::Format format)
{
    switch (format) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
    case QImage::Format_RGB16:
    case QImage::Format_RGB666:
    case QImage::Format_RGB555:
    case QImage::Format_RGB444:
    case QImage::Format_Alpha8:
        return true;
    default:
        return false;
    }
}

// The colours pixelColor gives, pixel by pixel, on all cores: for the rare
// formats Qt converts otherwise.
QImage pixelColourCopy(const QImage &image)
{
    QImage copy(image.size(), QImage::Format_RGBA64);
    if (copy.isNull())
        return copy;
    uchar *bits = copy.bits();
    const qsizetype stride = copy.bytesPerLine();
    forRowBlocks(image.height(), [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            auto *row = reinterpret_cast<QRgba64 *>(bits + y * stride);
            for (int x = 0; x < image.width(); ++x)
                row[x] = image.pixelColor(x, y).rgba64();
        }
    });
    return copy;
}

// An image in a format the row readers do not know, once more in one they do.
QImage readableByRows(const QImage &image)
{
    if (image.isNull() || rowReadable(image.format()))
        return image;
    if (convertsExactlyToArgb32(image.format()))
        return image.convertToFormat(QImage::Format_ARGB32);
    return pixelColourCopy(image);
}

} // namespace

bool rowReadable(QImage::Format format)
{
    switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA8888_Premultiplied:
    case QImage::Format_Grayscale8:
    case QImage::Format_Grayscale16:
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied:
    case QImage::Format_Indexed8:
        return true;
    default:
        return false;
    }
}

bool readRow64(const QImage &image, int y, QRgba64 *row)
{
    const uchar *line = image.constScanLine(y);
    const int width = image.width();
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        fromArgb32(reinterpret_cast<const QRgb *>(line), width, image.format() == QImage::Format_RGB32,
                   image.format() == QImage::Format_ARGB32_Premultiplied, row);
        return true;
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA8888_Premultiplied:
        // Like pixelColor, the padding byte of RGBX8888 is read as alpha.
        fromRgba8888(line, width, image.format() == QImage::Format_RGBA8888_Premultiplied, row);
        return true;
    case QImage::Format_Grayscale8:
        for (int x = 0; x < width; ++x)
            row[x] = QRgba64::fromRgba(line[x], line[x], line[x], 255);
        return true;
    case QImage::Format_Grayscale16:
        for (int x = 0; x < width; ++x) {
            const quint16 v = reinterpret_cast<const quint16 *>(line)[x];
            row[x] = QRgba64::fromRgba64(v, v, v, 65535);
        }
        return true;
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied: {
        const auto *pixels = reinterpret_cast<const QRgba64 *>(line);
        for (int x = 0; x < width; ++x) {
            const QRgba64 c = pixels[x];
            row[x] = image.format() == QImage::Format_RGBA64_Premultiplied ? c.unpremultiplied() : c;
        }
        return true;
    }
    case QImage::Format_Indexed8: {
        const QVector<QRgb> table = image.colorTable();
        for (int x = 0; x < width; ++x)
            row[x] = QRgba64::fromArgb32(line[x] < table.size() ? table[line[x]] : 0u);
        return true;
    }
    default:
        return false;
    }
}

namespace {

std::array<float, 65536> scaledLevels(double factor)
{
    std::array<float, 65536> table{};
    for (int level = 0; level < 65536; ++level)
        // What QColor's redF() gives for the level, without building a colour 65536 times.
        table[size_t(level)] = scaledFraction(level / qreal(USHRT_MAX), factor);
    return table;
}

} // namespace

// Each table is built the first time it is asked for: each is 256 KB of
// fresh memory, and a picture needs one of them at most.
const std::array<float, 65536> &levelTable(double scale)
{
    if (scale == 100.0) {
        static const std::array<float, 65536> inkLevels = scaledLevels(100.0);
        return inkLevels;
    }
    static const std::array<float, 65536> colourLevels = scaledLevels(255.0);
    return colourLevels;
}

bool eightBitLevels(QImage::Format format)
{
    switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
    case QImage::Format_Grayscale8:
    case QImage::Format_Indexed8:
        return true;
    default:
        return false;
    }
}

bool readRow32(const QImage &image, int y, QRgb *row)
{
    const uchar *line = image.constScanLine(y);
    const int width = image.width();
    switch (image.format()) {
    case QImage::Format_RGB32:
        for (int x = 0; x < width; ++x)
            row[x] = reinterpret_cast<const QRgb *>(line)[x] | 0xff000000u;
        return true;
    case QImage::Format_ARGB32:
        std::copy_n(reinterpret_cast<const QRgb *>(line), width, row);
        return true;
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
        for (int x = 0; x < width; ++x) {
            const uchar *p = line + 4 * x;
            row[x] = qRgba(p[0], p[1], p[2], p[3]);
        }
        return true;
    case QImage::Format_Grayscale8:
        for (int x = 0; x < width; ++x)
            row[x] = qRgb(line[x], line[x], line[x]);
        return true;
    case QImage::Format_Indexed8: {
        const QVector<QRgb> table = image.colorTable();
        for (int x = 0; x < width; ++x)
            row[x] = line[x] < table.size() ? table[line[x]] : 0u;
        return true;
    }
    default:
        return false;
    }
}

PixelSources readableByRows(const PixelSources &sources)
{
    if (sources.channelCount < 4)
        return {readableByRows(sources.picture), {}, {}, sources.channelCount};
    return {sources.picture, readableByRows(sources.inkPage1), readableByRows(sources.inkPage2), sources.channelCount};
}
