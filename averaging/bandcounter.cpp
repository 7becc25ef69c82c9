#include "bandcounter.h"

#include "bytelayout.h"
#include "displaybytes.h"
#include "levelcounts.h"
#include "parallel.h"
#include "pixelrows.h"
#include "sourcerows.h"
#include "workcontrol.h"

#include <algorithm>

namespace {

// The levels of 8-bit inks, counted in tables small enough for the
// fastest cache, then handed on as 16-bit levels. Neighbouring pixels often
// share a level: even and odd columns count in tables of their own, so that
// one count need not wait for the one before. A loop counts its pixels in a
// local and adds them once: a count held here could be a level's count for
// all the compiler knows, and would be stored and loaded again at every pixel.
// The channels are counted one by one, not in a loop the compiler keeps.
struct InkCounts {
    qint64 pixels = 0;
    quint64 levels[2][4][256] = {};

    void count(const int channel[4], int x)
    {
        quint64(*tables)[256] = levels[x & 1];
        ++tables[0][channel[0]];
        ++tables[1][channel[1]];
        ++tables[2][channel[2]];
        ++tables[3][channel[3]];
    }
    void addTo(LevelCounts &counts) const
    {
        counts.addPixels(pixels);
        for (int c = 0; c < 4; ++c)
            for (int level = 0; level < 256; ++level)
                if (const quint64 pixelsAtLevel = levels[0][c][level] + levels[1][c][level])
                    counts.add(c, quint16(level * 257), pixelsAtLevel);
    }
};

// Four inks in two 8-bit pages, the press file's case, read without the
// layout's look-ups when the second page holds the coverage.
void countFourInks(const PixelSources &band, const ByteLayout &layout, int first, int end, InkCounts &counts)
{
    const int width = band.picture.width();
    const int blackStep = layout.bytesPerPixel;
    const bool covered = layout.coverageOffset < 0;
    qint64 counted = 0;
    for (int y = first; y < end; ++y) {
        const uchar *inks = band.inkPage1.constScanLine(y);
        const uchar *rest = band.inkPage2.constScanLine(y);
        for (int x = 0; x < width; ++x, inks += 4, rest += blackStep) {
            const int channel[4] = {inks[0], inks[1], inks[2], rest[0]};
            if (pixelMask(channel, covered ? 255 : int(rest[1]), 4, 255, 255) == PixelMask::Counted) {
                counts.count(channel, x);
                ++counted;
            }
        }
    }
    counts.pixels += counted;
}

// The levels of 8-bit colour pixels (below four channels), summed as whole
// numbers: the value of such a level is the byte itself, so the sums of the
// bytes are the sums of the values, exactly, and far cheaper than a count per
// level. A row is summed in 32 bits, 2^16 pixels at a time, in loops the
// compiler makes vector code of (this file is built for it); the byte
// offsets are constants for that.
struct ColourSums {
    qint64 pixels = 0;
    quint64 levels[3] = {0, 0, 0};

    void add(const ColourSums &other)
    {
        pixels += other.pixels;
        for (size_t c = 0; c < 3; ++c)
            levels[c] += other.levels[c];
    }
};

template <typename Layout>
void sumColourRows(const PixelSources &band, int first, int end, ColourSums &sums)
{
    const int n = band.channelCount;
    const int width = band.picture.width();
    constexpr int chunk = 1 << 16;
    for (int y = first; y < end; ++y) {
        const uchar *row = band.picture.constScanLine(y);
        for (int from = 0; from < width; from += chunk) {
            quint32 counted = 0, level0 = 0, level1 = 0, level2 = 0;
            for (int x = from; x < std::min(width, from + chunk); ++x) {
                int channel[4];
                const quint32 taken = Layout::read(row, x, n, channel);
                counted += taken;
                level0 += quint32(channel[0]) * taken;
                level1 += quint32(channel[1]) * taken;
                level2 += quint32(channel[2]) * taken;
            }
            sums.add({counted, {level0, level1, level2}});
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

struct BandCounter::BlockCounts {
    InkCounts inks;
    ColourSums colours;
    LevelCounts levels;
};

BandCounter::BandCounter(int channelCount) : channels(channelCount) {}

BandCounter::~BandCounter() = default;

void BandCounter::count(const PixelSources &given, WorkControl *control)
{
    const PixelSources band = readableByRows(given);
    ByteLayout layout{};
    const bool eightBit = eightBitLayout(band, &layout);
    const int height = band.picture.height();
    while (int(blocks.size()) < rowBlockCount(height))
        blocks.push_back(std::make_unique<BlockCounts>());
    forNumberedRowBlocks(height, [&](int block, int first, int end) {
        if (workCancelled(control))
            return;
        BlockCounts &own = *blocks[size_t(block)];
        if (eightBit && band.channelCount >= 4)
            countFourInks(band, layout, first, end, own.inks);
        else if (eightBit)
            withColourLayout(layout, [&](auto colourLayout) {
                sumColourRows<decltype(colourLayout)>(band, first, end, own.colours);
            });
        else
            countLevels(band, first, end, own.levels);
    });
}

PixelTotals BandCounter::totals() const
{
    LevelCounts all;
    ColourSums colours;
    for (const std::unique_ptr<BlockCounts> &block : blocks) {
        block->inks.addTo(all);
        all.add(block->levels);
        colours.add(block->colours);
    }
    // 8-bit colour is summed without levels; the level table is only built
    // for pictures that counted some.
    std::array<ExactSum, 4> sums{};
    if (all.pixelCount() > 0)
        sums = all.channelSums(levelsFor(channels));
    // Each byte of a colour sum is one unit of value.
    for (size_t c = 0; c < 3; ++c)
        sums[c].add(1.0f, colours.levels[c]);
    PixelTotals totals;
    totals.pixelCount = all.pixelCount() + colours.pixels;
    for (size_t c = 0; c < 4; ++c)
        totals.channelSums[c] = sums[c].value();
    return totals;
}
