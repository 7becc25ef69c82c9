#include "fastpass.h"

#include "colourpartitions.h"
#include "displaybytes.h"
#include "levelcounts.h"
#include "parallel.h"
#include "pixelrows.h"
#include "sourcerows.h"
#include "workcontrol.h"

#include <memory>
#include <mutex>
#include <vector>

namespace {

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
QImage readableImage(const QImage &image)
{
    if (image.isNull() || rowReadable(image.format()))
        return image;
    if (convertsExactlyToArgb32(image.format()))
        return image.convertToFormat(QImage::Format_ARGB32);
    return pixelColourCopy(image);
}

// Runs count(first, end, counts) on blocks of rows on all cores and adds up what they counted.
template <typename Count>
LevelCounts countInBlocks(int height, Count count)
{
    LevelCounts all;
    std::mutex lock;
    forRowBlocks(height, [&](int first, int end) {
        auto counts = std::make_unique<LevelCounts>();
        count(first, end, *counts);
        std::lock_guard<std::mutex> guard(lock);
        all.add(*counts);
    });
    return all;
}

// Only the counts, when the picture cannot be converted for the monitor.
LevelCounts countLevels(const PixelSources &sources, WorkControl *control)
{
    const int n = sources.channelCount;
    return countInBlocks(sources.picture.height(), [&](int first, int end, LevelCounts &counts) {
        SourceRows rows(sources);
        for (int y = first; y < end && !workCancelled(control); ++y) {
            rows.read(y);
            for (int x = 0; x < sources.picture.width(); ++x) {
                quint16 channels[4];
                quint16 coverage;
                rows.levels(x, channels, &coverage);
                if (countedLevels(channels, coverage, n))
                    counts.count(channels, n < 4 ? 3 : 4);
            }
            if (first == 0)
                reportWork(control, double(y + 1) / end);
        }
    });
}

constexpr quint32 maskedFlag = 0x80000000u;

// Index of an 8-bit colour among all 2^(8n) colours of an n-channel image.
quint32 colourIndex(QRgb pixel, int channelCount)
{
    if (channelCount >= 3)
        return pixel & 0xffffffu;
    return channelCount == 2 ? (pixel >> 8) & 0xffffu : quint32(qRed(pixel));
}

// The masks on 8-bit levels: these map one to one onto the record's whole
// numbers, so 0 and 255 there are 0.0 and 255.0 in the record.
bool countedEightBit(QRgb pixel, int channelCount)
{
    const int channel[4] = {qRed(pixel), qGreen(pixel), qBlue(pixel), 0};
    return pixelMask(channel, qAlpha(pixel), channelCount, 255, 255) == PixelMask::Counted;
}

// The levels of 8-bit pixels, counted in a table small enough for the
// fastest cache, then handed on as 16-bit levels.
class EightBitCounts
{
public:
    void count(QRgb pixel)
    {
        ++pixels;
        ++levels[0][qRed(pixel)];
        ++levels[1][qGreen(pixel)];
        ++levels[2][qBlue(pixel)];
    }
    void add(const EightBitCounts &other)
    {
        pixels += other.pixels;
        for (int c = 0; c < 3; ++c)
            for (int level = 0; level < 256; ++level)
                levels[c][level] += other.levels[c][level];
    }
    void addTo(LevelCounts &counts) const
    {
        counts.addPixels(pixels);
        for (int c = 0; c < 3; ++c)
            for (int level = 0; level < 256; ++level)
                counts.add(c, quint16(level * 257), levels[c][level]);
    }

private:
    qint64 pixels = 0;
    quint64 levels[3][256] = {};
};

// The 16-bit levels of every colour the image holds, from the bitmaps of the colours each block saw.
std::vector<quint32> distinctColours(const std::vector<std::vector<quint64>> &seenByBlock, size_t colours)
{
    std::vector<quint32> distinct;
    for (size_t word = 0; word < (colours + 63) / 64; ++word) {
        quint64 bitsSeen = 0;
        for (const auto &seen : seenByBlock)
            bitsSeen |= seen[word];
        for (; bitsSeen; bitsSeen &= bitsSeen - 1)
            distinct.push_back(quint32(word * 64 + size_t(__builtin_ctzll(bitsSeen))));
    }
    return distinct;
}

// Grey, two-colour and RGB images of 8-bit levels: every colour has a place
// in a table of all 2^(8n) colours, so no hashing is needed. Each pixel first
// holds its colour's index in the display, then its bytes.
LevelCounts renderEightBitColours(const PixelSources &sources, cmsHTRANSFORM transform, float inputScale,
                                  QImage *display, WorkControl *control)
{
    const DisplayRows displayRows(display);
    const int n = sources.channelCount;
    const int bits = 8 * std::max(1, n);
    const size_t colours = size_t(1) << bits;
    const int width = sources.picture.width();
    std::vector<std::vector<quint64>> seenByBlock;
    EightBitCounts eightBitCounts;
    std::mutex blockLock;
    forRowBlocks(sources.picture.height(), [&](int first, int end) {
        std::vector<quint64> seen((colours + 63) / 64);
        std::vector<QRgb> row(static_cast<size_t>(width));
        EightBitCounts eightBit;
        for (int y = first; y < end && !workCancelled(control); ++y) {
            readRow32(sources.picture, y, row.data());
            quint32 *out = displayRows[y];
            for (int x = 0; x < width; ++x) {
                const QRgb pixel = row[size_t(x)];
                const quint32 index = colourIndex(pixel, n);
                seen[index / 64] |= quint64(1) << (index % 64);
                const bool isCounted = countedEightBit(pixel, n);
                if (isCounted)
                    eightBit.count(pixel);
                out[x] = index | (isCounted ? 0 : maskedFlag);
            }
            if (first == 0)
                reportWork(control, 0.5 * (y + 1) / end);
        }
        std::lock_guard<std::mutex> lock(blockLock);
        eightBitCounts.add(eightBit);
        seenByBlock.push_back(std::move(seen));
    });
    LevelCounts counts;
    eightBitCounts.addTo(counts);
    if (workCancelled(control))
        return counts;

    const std::vector<quint32> distinct = distinctColours(seenByBlock, colours);
    seenByBlock.clear();
    std::vector<quint16> channels(distinct.size() * 4, 0);
    const int shift = bits - 8;
    for (size_t i = 0; i < distinct.size(); ++i)
        for (int c = 0; c < std::max(1, n) && c < 3; ++c)
            channels[i * 4 + size_t(c)] = quint16(((distinct[i] >> (shift - 8 * c)) & 0xff) * 257);
    std::vector<quint32> distinctBytes(distinct.size());
    const auto &levels = levelsFor(n);
    runInParallelChunks(distinct.size(), [&](size_t first, size_t end) {
        if (!workCancelled(control))
            convertColours(channels.data() + first * 4, end - first, transform, inputScale, levels,
                           distinctBytes.data() + first);
    });
    if (workCancelled(control))
        return counts;
    std::unique_ptr<quint32[]> bytesOf(new quint32[colours]);
    for (size_t i = 0; i < distinct.size(); ++i)
        bytesOf[distinct[i]] = distinctBytes[i];
    reportWork(control, 0.8);

    forRowBlocks(sources.picture.height(), [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            quint32 *out = displayRows[y];
            for (int x = 0; x < width; ++x) {
                const quint32 bytes = bytesOf[out[x] & ~maskedFlag];
                out[x] = out[x] & maskedFlag ? bytes & transparentMask : bytes;
            }
        }
    });
    return counts;
}

LevelCounts renderDisplay(const PixelSources &sources, cmsHTRANSFORM transform, float inputScale, QImage *display,
                          WorkControl *control)
{
    // The table of every possible colour pays off only when the image is not small beside it.
    const qint64 pixels = qint64(sources.picture.width()) * sources.picture.height();
    const qint64 tableSize = qint64(1) << (8 * std::max(1, sources.channelCount));
    if (sources.channelCount < 4 && eightBitLevels(sources.picture.format()) && pixels * 16 >= tableSize)
        return renderEightBitColours(sources, transform, inputScale, display, control);
    return renderByColourPartitions(sources, transform, inputScale, display, control);
}

} // namespace

PixelSources readableByRows(const PixelSources &sources)
{
    if (sources.channelCount < 4)
        return {readableImage(sources.picture), {}, {}, sources.channelCount};
    return {sources.picture, readableImage(sources.inkPage1), readableImage(sources.inkPage2), sources.channelCount};
}

PixelTotals fastPass(const PixelSources &given, cmsHTRANSFORM displayTransform, float inputScale, QImage *display,
                     WorkControl *control)
{
    const PixelSources sources = readableByRows(given);
    const auto &levels = levelsFor(sources.channelCount);
    if (!displayTransform)
        return countLevels(sources, control).totals(levels);
    *display = QImage(sources.picture.width(), sources.picture.height(), QImage::Format_RGBA8888);
    if (display->isNull())
        return countLevels(sources, control).totals(levels);
    return renderDisplay(sources, displayTransform, inputScale, display, control).totals(levels);
}
