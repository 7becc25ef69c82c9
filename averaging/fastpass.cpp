#include "fastpass.h"

#include "colournumbers.h"
#include "displayconversion.h"
#include "parallel.h"
#include "pixelrows.h"
#include "referencepass.h"
#include "sourcerows.h"

#include <QColor>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

bool readableByRows(const PixelSources &sources)
{
    if (sources.channelCount < 4)
        return rowReadable(sources.picture.format());
    for (const QImage *page : {&sources.inkPage1, &sources.inkPage2})
        if (!page->isNull() && !rowReadable(page->format()))
            return false;
    return true;
}

const std::array<float, 65536> &levelsFor(int channelCount)
{
    return levelTable(channelCount < 4 ? 255.0 : 100.0);
}

// Sums in the reference's order, one pixel after the other, on this thread:
// the order of double additions decides the last bits of the average.
PixelTotals sumPixels(const PixelSources &sources)
{
    PixelTotals totals;
    SourceRows rows(sources);
    const auto &levels = levelsFor(sources.channelCount);
    for (int y = 0; y < sources.picture.height(); ++y) {
        rows.read(y);
        for (int x = 0; x < sources.picture.width(); ++x) {
            const PixelValues values = rows.values(x, levels);
            if (maskOf(values, sources.channelCount) == PixelMask::Counted)
                addToTotals(totals, values, sources.channelCount);
        }
    }
    return totals;
}

// The bytes setPixelColor stores in a Format_RGBA8888 image for monitor levels
// rgb, fully opaque; a masked pixel keeps the colour with alpha 0.
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

// The display image's rows for the worker threads, taken on the calling
// thread: scanLine() and bits() detach, which touches the image unguarded.
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
constexpr quint32 maskedFlag = 0x80000000u;

bool counted(const SourceRows &rows, int x, int channelCount, const std::array<float, 65536> &levels)
{
    return maskOf(rows.values(x, levels), channelCount) == PixelMask::Counted;
}

// Converts colours through the transform in batches shared among the cores;
// levelsOf(i, levels16) gives the 16-bit channel levels of colour i.
template <typename LevelsOf, typename Store>
void convertColours(size_t count, cmsHTRANSFORM transform, float inputScale, const std::array<float, 65536> &levels,
                    LevelsOf levelsOf, Store store)
{
    const size_t channels = T_CHANNELS(cmsGetTransformInputFormat(transform));
    constexpr size_t batch = 4096;
    std::atomic<size_t> next{0};
    runOnAllCores([&] {
        std::vector<float> input(batch * channels), output(batch * 3);
        quint16 channelLevels[4];
        for (size_t first = next.fetch_add(batch); first < count; first = next.fetch_add(batch)) {
            const size_t n = std::min(batch, count - first);
            for (size_t i = 0; i < n; ++i) {
                levelsOf(first + i, channelLevels);
                for (size_t c = 0; c < channels; ++c)
                    input[i * channels + c] = levels[channelLevels[c]] * inputScale;
            }
            cmsDoTransform(transform, input.data(), output.data(), cmsUInt32Number(n));
            for (size_t i = 0; i < n; ++i) {
                float rgb[3];
                for (int c = 0; c < 3; ++c)
                    rgb[c] = toDisplayLevel(output[i * 3 + size_t(c)]);
                store(first + i, opaqueDisplayBytes(rgb));
            }
        }
    });
}

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
    if (channelCount == 3 && (pixel & 0xffffffu) == 0x00ff00u)
        return false;
    return qAlpha(pixel) != 0;
}

// Grey, two-colour and RGB images of 8-bit levels: every colour has a place
// in a table of all 2^(8n) colours, so no hashing is needed.
void renderEightBitColours(const PixelSources &sources, cmsHTRANSFORM transform, float inputScale, QImage *display)
{
    const DisplayRows displayRows(display);
    const int n = sources.channelCount;
    const int bits = 8 * std::max(1, n);
    const size_t colours = size_t(1) << bits;
    const int width = sources.picture.width();
    std::vector<std::vector<quint64>> seenByBlock;
    std::mutex seenLock;
    forRowBlocks(sources.picture.height(), [&](int first, int end) {
        std::vector<quint64> seen((colours + 63) / 64);
        std::vector<QRgb> row(static_cast<size_t>(width));
        for (int y = first; y < end; ++y) {
            readRow32(sources.picture, y, row.data());
            quint32 *out = displayRows[y];
            for (int x = 0; x < width; ++x) {
                const quint32 index = colourIndex(row[size_t(x)], n);
                seen[index / 64] |= quint64(1) << (index % 64);
                out[x] = index | (countedEightBit(row[size_t(x)], n) ? 0 : maskedFlag);
            }
        }
        std::lock_guard<std::mutex> lock(seenLock);
        seenByBlock.push_back(std::move(seen));
    });
    std::vector<quint32> distinct;
    for (size_t word = 0; word < (colours + 63) / 64; ++word) {
        quint64 bitsSeen = 0;
        for (const auto &seen : seenByBlock)
            bitsSeen |= seen[word];
        for (; bitsSeen; bitsSeen &= bitsSeen - 1)
            distinct.push_back(quint32(word * 64 + size_t(__builtin_ctzll(bitsSeen))));
    }
    std::unique_ptr<quint32[]> bytesOf(new quint32[colours]);
    const int shift = bits - 8;
    convertColours(
        distinct.size(), transform, inputScale, levelsFor(n),
        [&](size_t i, quint16 *channelLevels) {
            for (int c = 0; c < 3; ++c)
                channelLevels[c] = c < std::max(1, n) ? quint16(((distinct[i] >> (shift - 8 * c)) & 0xff) * 257) : 0;
        },
        [&](size_t i, quint32 bytes) { bytesOf[distinct[i]] = bytes; });
    forRowBlocks(sources.picture.height(), [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            quint32 *out = displayRows[y];
            for (int x = 0; x < width; ++x) {
                const quint32 bytes = bytesOf[out[x] & ~maskedFlag];
                out[x] = out[x] & maskedFlag ? bytes & transparentMask : bytes;
            }
        }
    });
}

// 8-bit levels of grey, two-colour and RGB images become whole numbers in the
// record (checked here), so their sums are exact in any order of addition
// and the rows can be summed on all cores with the reference's result.
bool sumsExactInAnyOrder(const PixelSources &sources)
{
    if (sources.channelCount >= 4 || !eightBitLevels(sources.picture.format()))
        return false;
    const auto &levels = levelTable(255.0);
    for (int level = 0; level < 256; ++level)
        if (levels[size_t(level * 257)] != float(level))
            return false;
    return true;
}

PixelTotals sumEightBitInParallel(const PixelSources &sources)
{
    const int n = sources.channelCount;
    const int width = sources.picture.width();
    std::vector<std::pair<int, PixelTotals>> blocks;
    std::mutex blocksLock;
    forRowBlocks(sources.picture.height(), [&](int first, int end) {
        PixelTotals totals;
        std::vector<QRgb> row(static_cast<size_t>(width));
        for (int y = first; y < end; ++y) {
            readRow32(sources.picture, y, row.data());
            for (QRgb pixel : row) {
                if (!countedEightBit(pixel, n))
                    continue;
                ++totals.pixelCount;
                totals.channelSums[0] += qRed(pixel);
                totals.channelSums[1] += qGreen(pixel);
                totals.channelSums[2] += qBlue(pixel);
            }
        }
        std::lock_guard<std::mutex> lock(blocksLock);
        blocks.emplace_back(first, totals);
    });
    std::sort(blocks.begin(), blocks.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    PixelTotals totals;
    for (const auto &block : blocks) {
        totals.pixelCount += block.second.pixelCount;
        for (size_t i = 0; i < 4; ++i)
            totals.channelSums[i] += block.second.channelSums[i];
    }
    return totals;
}

void keyLevels(quint64 key, int channelCount, quint16 *channelLevels)
{
    const int channels = channelCount < 4 ? 3 : 4;
    for (int c = 0; c < channels; ++c)
        channelLevels[c] = quint16(key >> (16 * (channels - 1 - c)));
}

// Photographs repeat their colours heavily: each distinct one is converted once.
// Returns false, having drawn nothing, when the colours hardly repeat.
bool renderDistinctColours(const PixelSources &sources, cmsHTRANSFORM transform, float inputScale, QImage *display)
{
    const DisplayRows displayRows(display);
    const int n = sources.channelCount;
    const int width = sources.picture.width();
    const size_t pixels = size_t(width) * size_t(sources.picture.height());
    const auto &levels = levelsFor(n);
    std::vector<std::vector<quint64>> found;
    std::mutex foundLock;
    std::atomic<bool> repetitive{true};
    forRowBlocks(sources.picture.height(), [&](int first, int end) {
        SourceRows rows(sources);
        ColourNumbers local(4096);
        const size_t limit = size_t(width) * size_t(end - first) / 4 + 4096;
        for (int y = first; y < end && repetitive; ++y) {
            rows.read(y);
            for (int x = 0; x < width; ++x)
                local.insert(rows.key(x));
            if (local.colours().size() > limit)
                repetitive = false;
        }
        std::lock_guard<std::mutex> lock(foundLock);
        found.push_back(local.colours());
    });
    if (!repetitive)
        return false;
    ColourNumbers all(pixels / 64);
    for (const auto &block : found)
        for (quint64 key : block)
            all.insert(key);
    std::vector<quint32> bytesOf(all.colours().size());
    convertColours(
        bytesOf.size(), transform, inputScale, levels,
        [&](size_t i, quint16 *channelLevels) { keyLevels(all.colours()[i], n, channelLevels); },
        [&](size_t i, quint32 bytes) { bytesOf[i] = bytes; });
    forRowBlocks(sources.picture.height(), [&](int first, int end) {
        SourceRows rows(sources);
        for (int y = first; y < end; ++y) {
            rows.read(y);
            quint32 *out = displayRows[y];
            for (int x = 0; x < width; ++x) {
                const quint32 bytes = bytesOf[all.numberOf(rows.key(x))];
                out[x] = counted(rows, x, n, levels) ? bytes : bytes & transparentMask;
            }
        }
    });
    return true;
}

// Colours that hardly repeat (noise): every pixel is converted, a row per batch.
void renderEveryPixel(const PixelSources &sources, cmsHTRANSFORM transform, float inputScale, QImage *display)
{
    const DisplayRows displayRows(display);
    const int n = sources.channelCount;
    const int width = sources.picture.width();
    const auto &levels = levelsFor(n);
    const size_t channels = T_CHANNELS(cmsGetTransformInputFormat(transform));
    forRowBlocks(sources.picture.height(), [&](int first, int end) {
        SourceRows rows(sources);
        std::vector<float> input(size_t(width) * channels), output(size_t(width) * 3);
        for (int y = first; y < end; ++y) {
            rows.read(y);
            for (int x = 0; x < width; ++x) {
                const PixelValues values = rows.values(x, levels);
                for (size_t c = 0; c < channels; ++c)
                    input[size_t(x) * channels + c] = values.channel[c] * inputScale;
            }
            cmsDoTransform(transform, input.data(), output.data(), cmsUInt32Number(width));
            quint32 *out = displayRows[y];
            for (int x = 0; x < width; ++x) {
                float rgb[3];
                for (int c = 0; c < 3; ++c)
                    rgb[c] = toDisplayLevel(output[size_t(x) * 3 + size_t(c)]);
                const quint32 bytes = opaqueDisplayBytes(rgb);
                out[x] = counted(rows, x, n, levels) ? bytes : bytes & transparentMask;
            }
        }
    });
}

void renderDisplay(const PixelSources &sources, cmsHTRANSFORM transform, float inputScale, QImage *display)
{
    // The table of every possible colour pays off only when the image is not small beside it.
    const qint64 pixels = qint64(sources.picture.width()) * sources.picture.height();
    const qint64 tableSize = qint64(1) << (8 * std::max(1, sources.channelCount));
    if (sources.channelCount < 4 && eightBitLevels(sources.picture.format()) && pixels * 16 >= tableSize)
        renderEightBitColours(sources, transform, inputScale, display);
    else if (!renderDistinctColours(sources, transform, inputScale, display))
        renderEveryPixel(sources, transform, inputScale, display);
}

} // namespace

PixelTotals fastPass(const PixelSources &sources, cmsHTRANSFORM displayTransform, float inputScale, QImage *display)
{
    if (!readableByRows(sources))
        return referencePass(sources, displayTransform, inputScale, display);
    const PixelTotals totals = sumsExactInAnyOrder(sources) ? sumEightBitInParallel(sources) : sumPixels(sources);
    if (!displayTransform)
        return totals;
    *display = QImage(sources.picture.width(), sources.picture.height(), QImage::Format_RGBA8888);
    if (!display->isNull())
        renderDisplay(sources, displayTransform, inputScale, display);
    return totals;
}
