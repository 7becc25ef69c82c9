#include "fastpass.h"

#include "displayconversion.h"
#include "pixelrows.h"
#include "referencepass.h"

#include <QColor>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

namespace {

// Runs work(firstRow, endRow) on consecutive blocks of rows, one block per core.
template <typename Work>
void forRowBlocks(int height, Work work)
{
    const int threads = std::max(1, std::min<int>(int(std::thread::hardware_concurrency()), height / 16));
    if (threads <= 1) {
        work(0, height);
        return;
    }
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(work, height * t / threads, height * (t + 1) / threads);
    work(0, height / threads);
    for (std::thread &thread : pool)
        thread.join();
}

// One row of the images a pass reads, as 16-bit channels.
class SourceRows
{
public:
    explicit SourceRows(const PixelSources &sources)
        : s(sources), width(sources.picture.width()), primary(size_t(width)), secondary(size_t(width))
    {
    }

    // Channel values (16-bit levels) of row y; pages that lack the row or part of it read as zero.
    void read(int y)
    {
        if (s.channelCount < 4) {
            readRow64(s.picture, y, primary.data());
            return;
        }
        readPage(s.inkPage1, y, primary);
        readPage(s.inkPage2, y, secondary);
    }

    PixelValues values(int x, const std::array<float, 65536> &levels) const
    {
        PixelValues v;
        const QRgba64 a = primary[size_t(x)];
        v.channel[0] = levels[a.red()];
        v.channel[1] = levels[a.green()];
        v.channel[2] = levels[a.blue()];
        if (s.channelCount < 4) {
            v.coverage = float(a.alpha() / 65535.0);
            return v;
        }
        const QRgba64 b = secondary[size_t(x)];
        v.channel[3] = levels[b.red()];
        v.coverage = float(b.green() / 65535.0);
        return v;
    }

    // The channels the display transform reads, packed into one number.
    quint64 key(int x) const
    {
        const QRgba64 a = primary[size_t(x)];
        const quint64 rgb = (quint64(a.red()) << 32) | (quint64(a.green()) << 16) | a.blue();
        if (s.channelCount < 4)
            return rgb;
        return (rgb << 16) | secondary[size_t(x)].red();
    }

private:
    void readPage(const QImage &page, int y, std::vector<QRgba64> &row)
    {
        std::fill(row.begin(), row.end(), QRgba64::fromRgba64(0));
        if (y >= page.height())
            return;
        std::vector<QRgba64> line(size_t(page.width()));
        readRow64(page, y, line.data());
        std::copy_n(line.begin(), std::min(page.width(), width), row.begin());
    }

    const PixelSources &s;
    int width;
    std::vector<QRgba64> primary;
    std::vector<QRgba64> secondary;
};

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

// The bytes setPixelColor stores in a Format_RGBA8888 image for monitor levels rgb.
quint32 displayBytes(const float rgb[3], bool counted)
{
    QColor colour;
    colour.setRgbF(double(rgb[0]) / 255.0, double(rgb[1]) / 255.0, double(rgb[2]) / 255.0, counted ? 1.0 : 0.0);
    const QRgb argb = colour.rgba64().toArgb32();
    const uchar bytes[4] = {uchar(qRed(argb)), uchar(qGreen(argb)), uchar(qBlue(argb)), uchar(qAlpha(argb))};
    quint32 packed;
    std::memcpy(&packed, bytes, 4);
    return packed;
}

// Every distinct colour of the image, with its place in the list.
using ColourIndex = std::unordered_map<quint64, quint32>;

struct DistinctColours {
    std::vector<quint64> keys;
    std::vector<PixelValues> values;
    ColourIndex index;
};

DistinctColours collectColours(const PixelSources &sources)
{
    const int height = sources.picture.height();
    const int width = sources.picture.width();
    const auto &levels = levelsFor(sources.channelCount);
    std::vector<std::pair<int, std::vector<std::pair<quint64, PixelValues>>>> found;
    std::mutex foundLock;
    forRowBlocks(height, [&](int first, int end) {
        SourceRows rows(sources);
        std::unordered_map<quint64, PixelValues> local;
        for (int y = first; y < end; ++y) {
            rows.read(y);
            for (int x = 0; x < width; ++x)
                local.emplace(rows.key(x), rows.values(x, levels));
        }
        std::vector<std::pair<quint64, PixelValues>> list(local.begin(), local.end());
        std::lock_guard<std::mutex> lock(foundLock);
        found.emplace_back(first, std::move(list));
    });
    DistinctColours colours;
    for (auto &block : found)
        for (auto &entry : block.second)
            if (colours.index.emplace(entry.first, quint32(colours.keys.size())).second) {
                colours.keys.push_back(entry.first);
                colours.values.push_back(entry.second);
            }
    return colours;
}

// Monitor levels of every distinct colour, in batches through the transform.
std::vector<float> convertColours(const std::vector<PixelValues> &values, cmsHTRANSFORM transform, float inputScale)
{
    const int channels = int(T_CHANNELS(cmsGetTransformInputFormat(transform)));
    std::vector<float> rgb(values.size() * 3);
    constexpr size_t batch = 4096;
    const size_t batches = (values.size() + batch - 1) / batch;
    std::atomic<size_t> next{0};
    forRowBlocks(int(std::min<size_t>(batches * 16, 1u << 30)), [&](int, int) {
        std::vector<float> input(batch * size_t(channels));
        for (size_t b = next++; b < batches; b = next++) {
            const size_t first = b * batch;
            const size_t count = std::min(batch, values.size() - first);
            for (size_t i = 0; i < count; ++i)
                for (int c = 0; c < channels; ++c)
                    input[i * size_t(channels) + size_t(c)] = values[first + i].channel[c] * inputScale;
            cmsDoTransform(transform, input.data(), rgb.data() + first * 3, cmsUInt32Number(count));
            for (size_t i = first * 3; i < (first + count) * 3; ++i)
                rgb[i] = toDisplayLevel(rgb[i]);
        }
    });
    return rgb;
}

void renderDisplay(const PixelSources &sources, cmsHTRANSFORM transform, float inputScale, QImage *display)
{
    const DistinctColours colours = collectColours(sources);
    const std::vector<float> rgb = convertColours(colours.values, transform, inputScale);
    std::vector<quint32> opaque(colours.keys.size());
    for (size_t i = 0; i < opaque.size(); ++i)
        opaque[i] = displayBytes(&rgb[i * 3], true);
    const int width = sources.picture.width();
    const auto &levels = levelsFor(sources.channelCount);
    forRowBlocks(sources.picture.height(), [&](int first, int end) {
        SourceRows rows(sources);
        for (int y = first; y < end; ++y) {
            rows.read(y);
            auto *out = reinterpret_cast<quint32 *>(display->scanLine(y));
            for (int x = 0; x < width; ++x) {
                const quint32 i = colours.index.at(rows.key(x));
                const bool counted = maskOf(rows.values(x, levels), sources.channelCount) == PixelMask::Counted;
                out[x] = counted ? opaque[i] : displayBytes(&rgb[size_t(i) * 3], false);
            }
        }
    });
}

} // namespace

PixelTotals fastPass(const PixelSources &sources, cmsHTRANSFORM displayTransform, float inputScale, QImage *display)
{
    if (!readableByRows(sources))
        return referencePass(sources, displayTransform, inputScale, display);
    const PixelTotals totals = sumPixels(sources);
    if (!displayTransform)
        return totals;
    *display = QImage(sources.picture.width(), sources.picture.height(), QImage::Format_RGBA8888);
    if (!display->isNull())
        renderDisplay(sources, displayTransform, inputScale, display);
    return totals;
}
