#include "bandcounter.h"

#include "bytelayout.h"
#include "displaybytes.h"
#include "levelcounts.h"
#include "parallel.h"
#include "pixelrows.h"
#include "sourcerows.h"
#include "workcontrol.h"

namespace {

// The levels of 8-bit pixels, counted in tables small enough for the
// fastest cache, then handed on as 16-bit levels. Neighbouring pixels often
// share a level: even and odd columns count in tables of their own, so that
// one count need not wait for the one before. A loop counts its pixels in a
// local and adds them once: a count held here could be a level's count for
// all the compiler knows, and would be stored and loaded again at every pixel.
// The channels are counted one by one, not in a loop the compiler keeps.
struct EightBitCounts {
    qint64 pixels = 0;
    quint64 levels[2][4][256] = {};

    template <int Summed>
    void count(const int channel[4], int x)
    {
        static_assert(Summed == 3 || Summed == 4);
        quint64(*tables)[256] = levels[x & 1];
        ++tables[0][channel[0]];
        ++tables[1][channel[1]];
        ++tables[2][channel[2]];
        if (Summed == 4)
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
void countFourInks(const PixelSources &band, const ByteLayout &layout, int first, int end, EightBitCounts &counts)
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
                counts.count<4>(channel, x);
                ++counted;
            }
        }
    }
    counts.pixels += counted;
}

void countEightBit(const PixelSources &band, const ByteLayout &layout, int first, int end, EightBitCounts &counts)
{
    const int n = band.channelCount;
    if (n >= 4) {
        countFourInks(band, layout, first, end, counts);
        return;
    }
    // Fewer than four channels come from the picture alone.
    const int width = band.picture.width();
    qint64 counted = 0;
    for (int y = first; y < end; ++y) {
        const uchar *row = band.picture.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            int channel[4];
            const int coverage = readColourPixel(row, x, layout, channel);
            if (pixelMask(channel, coverage, n, 255, 255) == PixelMask::Counted) {
                counts.count<3>(channel, x);
                ++counted;
            }
        }
    }
    counts.pixels += counted;
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
    EightBitCounts eightBit;
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
        if (eightBit)
            countEightBit(band, layout, first, end, own.eightBit);
        else
            countLevels(band, first, end, own.levels);
    });
}

PixelTotals BandCounter::totals() const
{
    LevelCounts all;
    for (const std::unique_ptr<BlockCounts> &block : blocks) {
        block->eightBit.addTo(all);
        all.add(block->levels);
    }
    return all.totals(levelsFor(channels));
}
