#include "bandcounter.h"

#include "displaybytes.h"
#include "parallel.h"
#include "pixelrows.h"
#include "sourcerows.h"
#include "workcontrol.h"

#include <memory>
#include <mutex>

namespace {

// The levels of 8-bit pixels, counted in a table small enough for the
// fastest cache, then handed on as 16-bit levels.
struct EightBitCounts {
    qint64 pixels = 0;
    quint64 levels[4][256] = {};

    void count(const int channel[4], int summed)
    {
        ++pixels;
        for (int c = 0; c < summed; ++c)
            ++levels[c][channel[c]];
    }
    void addTo(LevelCounts &counts) const
    {
        counts.addPixels(pixels);
        for (int c = 0; c < 4; ++c)
            for (int level = 0; level < 256; ++level)
                if (levels[c][level])
                    counts.add(c, quint16(level * 257), levels[c][level]);
    }
};

// Where the four channels and the coverage of a pixel sit in the bytes of
// the band's images (page 0 the picture or the first ink image, page 1 the
// second); -1 for a coverage that is always full.
struct ByteLayout {
    int page[4];
    int offset[4];
    int coveragePage;
    int coverageOffset;
    int bytesPerPixel[2];
};

// The layout of bands whose bytes are the values as pixelColor reads them.
bool eightBitLayout(const PixelSources &band, ByteLayout *layout)
{
    if (band.channelCount >= 4) {
        for (const QImage *page : {&band.inkPage1, &band.inkPage2})
            if (page->format() != QImage::Format_RGBX8888 && page->format() != QImage::Format_RGBA8888)
                return false;
        // RGBX8888's padding byte is read as alpha, like pixelColor does.
        *layout = {{0, 0, 0, 1}, {0, 1, 2, 0}, 1, 1, {4, 4}};
        return true;
    }
    switch (band.picture.format()) {
    case QImage::Format_Grayscale8:
        *layout = {{0, 0, 0, 0}, {0, 0, 0, 0}, -1, 0, {1, 0}};
        return true;
    case QImage::Format_RGB32:
        *layout = {{0, 0, 0, 0}, {2, 1, 0, 0}, -1, 0, {4, 0}};
        return true;
    case QImage::Format_ARGB32:
        *layout = {{0, 0, 0, 0}, {2, 1, 0, 0}, 0, 3, {4, 0}};
        return true;
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
        *layout = {{0, 0, 0, 0}, {0, 1, 2, 0}, 0, 3, {4, 0}};
        return true;
    default:
        return false;
    }
}

void countEightBit(const PixelSources &band, const ByteLayout &layout, int first, int end, EightBitCounts &counts)
{
    const int n = band.channelCount;
    const int summed = n < 4 ? 3 : 4;
    const QImage &second = n >= 4 ? band.inkPage2 : band.picture;
    const QImage &firstPage = n >= 4 ? band.inkPage1 : band.picture;
    for (int y = first; y < end; ++y) {
        const uchar *rows[2] = {firstPage.constScanLine(y), second.constScanLine(y)};
        for (int x = 0; x < band.picture.width(); ++x) {
            int channel[4] = {0, 0, 0, 0};
            for (int c = 0; c < summed; ++c)
                channel[c] = rows[layout.page[c]][x * layout.bytesPerPixel[layout.page[c]] + layout.offset[c]];
            const int coverage = layout.coveragePage < 0
                                     ? 255
                                     : rows[layout.coveragePage][x * layout.bytesPerPixel[layout.coveragePage] +
                                                                 layout.coverageOffset];
            if (n < 4)
                channel[3] = 0;
            if (pixelMask(channel, coverage, n, 255, 255) == PixelMask::Counted)
                counts.count(channel, summed);
        }
    }
}

void countLevels(const PixelSources &band, int first, int end, LevelCounts &counts)
{
    const int n = band.channelCount;
    SourceRows rows(band);
    for (int y = first; y < end; ++y) {
        rows.read(y);
        for (int x = 0; x < band.picture.width(); ++x) {
            quint16 channels[4];
            quint16 coverage;
            rows.levels(x, channels, &coverage);
            if (countedLevels(channels, coverage, n))
                counts.count(channels, n < 4 ? 3 : 4);
        }
    }
}

} // namespace

void BandCounter::count(const PixelSources &given, WorkControl *control)
{
    const PixelSources band = readableByRows(given);
    ByteLayout layout;
    const bool eightBit = eightBitLayout(band, &layout);
    std::mutex lock;
    forRowBlocks(band.picture.height(), [&](int first, int end) {
        if (workCancelled(control))
            return;
        if (eightBit) {
            auto eightBitCounts = std::make_unique<EightBitCounts>();
            countEightBit(band, layout, first, end, *eightBitCounts);
            std::lock_guard<std::mutex> guard(lock);
            eightBitCounts->addTo(counts);
            return;
        }
        auto levelCounts = std::make_unique<LevelCounts>();
        countLevels(band, first, end, *levelCounts);
        std::lock_guard<std::mutex> guard(lock);
        counts.add(*levelCounts);
    });
}

PixelTotals BandCounter::totals() const
{
    return counts.totals(levelsFor(channels));
}
