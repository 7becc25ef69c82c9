#include "colourpartitions.h"

#include "colournumbers.h"
#include "displaybytes.h"
#include "parallel.h"
#include "sourcerows.h"
#include "workcontrol.h"

#include <atomic>
#include <memory>

namespace {

constexpr int partitionBits = 8;
constexpr size_t partitionCount = size_t(1) << partitionBits;
constexpr quint32 maskedFlag = 0x80000000u;

// The pixels of one partition found by one thread in a band: each one's
// colour and place in the image (with the masked flag).
struct PartitionPart {
    std::vector<quint64> colours;
    std::vector<quint32> places;
};

// What one thread dealt out of its rows of a band, and the levels it counted.
struct DealtRows {
    std::vector<PartitionPart> partitions = std::vector<PartitionPart>(partitionCount);
    LevelCounts counts;

    // Empties the partitions for the next band, keeping their memory.
    void clearPartitions()
    {
        for (PartitionPart &part : partitions) {
            part.colours.clear();
            part.places.clear();
        }
    }
};

// The colours of one partition seen so far, numbered, with their display bytes.
struct PartitionColours {
    ColourNumbers numbers{1024};
    std::vector<quint32> bytes;
};

quint64 colourKey(const quint16 channels[4])
{
    return (quint64(channels[0]) << 48) | (quint64(channels[1]) << 32) | (quint64(channels[2]) << 16) | channels[3];
}

size_t partitionOf(quint64 key)
{
    return size_t((key * 0x9E3779B97F4A7C15ull) >> (64 - partitionBits));
}

// Deals out the pixels of row y, whose levels levelsOf(x, channels, coverage) gives.
template <typename LevelsOf>
void dealRow(int y, int width, int channelCount, LevelsOf levelsOf, DealtRows &dealt)
{
    const int summed = channelCount < 4 ? 3 : 4;
    const quint32 rowStart = quint32(y) * quint32(width);
    for (int x = 0; x < width; ++x) {
        quint16 channels[4];
        quint16 coverage;
        levelsOf(x, channels, &coverage);
        const bool counted = countedLevels(channels, coverage, channelCount);
        if (counted)
            dealt.counts.count(channels, summed);
        const quint64 key = colourKey(channels);
        PartitionPart &part = dealt.partitions[partitionOf(key)];
        part.colours.push_back(key);
        part.places.push_back((rowStart + quint32(x)) | (counted ? 0u : maskedFlag));
    }
}

// The ink images the readers deliver for 8-bit separations, read straight
// from their bytes (what pixelColor gives for these formats).
bool eightBitInkPages(const PixelSources &sources)
{
    if (sources.channelCount != 4)
        return false;
    for (const QImage *page : {&sources.inkPage1, &sources.inkPage2}) {
        const bool straight8 = page->format() == QImage::Format_RGBX8888 || page->format() == QImage::Format_RGBA8888;
        if (!straight8 || page->width() < sources.picture.width() || page->height() < sources.picture.height())
            return false;
    }
    return true;
}

void dealRows(const PixelSources &sources, int first, int end, DealtRows &dealt)
{
    const int n = sources.channelCount;
    const int width = sources.picture.width();
    if (eightBitInkPages(sources)) {
        for (int y = first; y < end; ++y) {
            const uchar *inks = sources.inkPage1.constScanLine(y);
            const uchar *rest = sources.inkPage2.constScanLine(y);
            dealRow(y, width, n, [&](int x, quint16 channels[4], quint16 *coverage) {
                channels[0] = quint16(inks[4 * x] * 257);
                channels[1] = quint16(inks[4 * x + 1] * 257);
                channels[2] = quint16(inks[4 * x + 2] * 257);
                channels[3] = quint16(rest[4 * x] * 257);
                *coverage = quint16(rest[4 * x + 1] * 257);
            }, dealt);
        }
        return;
    }
    SourceRows rows(sources);
    for (int y = first; y < end; ++y) {
        rows.read(y);
        dealRow(y, width, n, [&](int x, quint16 channels[4], quint16 *coverage) { rows.levels(x, channels, coverage); },
                dealt);
    }
}

// Numbers the partition's colours of this band, converts those not seen
// before and writes each pixel's bytes into the display.
void renderPartition(const std::vector<std::unique_ptr<DealtRows>> &dealt, size_t partition, PartitionColours &known,
                     cmsHTRANSFORM transform, float inputScale, const std::array<float, 65536> &levels,
                     quint32 *display)
{
    std::vector<quint32> numberOf;
    for (const auto &rows : dealt)
        for (quint64 key : rows->partitions[partition].colours)
            numberOf.push_back(known.numbers.insert(key));

    const std::vector<quint64> &colours = known.numbers.colours();
    const size_t firstNew = known.bytes.size();
    std::vector<quint16> channels((colours.size() - firstNew) * 4);
    for (size_t c = firstNew; c < colours.size(); ++c)
        for (size_t k = 0; k < 4; ++k)
            channels[(c - firstNew) * 4 + k] = quint16(colours[c] >> (48 - 16 * k));
    known.bytes.resize(colours.size());
    convertColours(channels.data(), colours.size() - firstNew, transform, inputScale, levels,
                   known.bytes.data() + firstNew);

    size_t i = 0;
    for (const auto &rows : dealt)
        for (quint32 place : rows->partitions[partition].places) {
            const quint32 shown = known.bytes[numberOf[i++]];
            display[place & ~maskedFlag] = place & maskedFlag ? shown & transparentMask : shown;
        }
}

} // namespace

LevelCounts renderByColourPartitions(const PixelSources &sources, cmsHTRANSFORM transform, float inputScale,
                                     QImage *display, WorkControl *control, qint64 bandPixels)
{
    const int height = sources.picture.height();
    const int bandRows = int(std::max<qint64>(1, bandPixels / std::max(1, sources.picture.width())));
    const auto &levels = levelsFor(sources.channelCount);
    // The display is one block of pixels: 32-bit rows carry no padding.
    quint32 *pixels = DisplayRows(display)[0];
    std::vector<PartitionColours> known(partitionCount);
    std::vector<std::unique_ptr<DealtRows>> dealt(size_t(rowBlockCount(std::min(bandRows, height))));
    for (auto &rows : dealt)
        rows = std::make_unique<DealtRows>();
    for (int band = 0; band < height && !workCancelled(control); band += bandRows) {
        const int bandEnd = std::min(height, band + bandRows);
        // A last, shorter band may be split into fewer blocks; the others stay empty.
        for (auto &rows : dealt)
            rows->clearPartitions();
        forNumberedRowBlocks(bandEnd - band, [&](int block, int first, int end) {
            dealRows(sources, band + first, band + end, *dealt[size_t(block)]);
        });
        std::atomic<size_t> next{0};
        runOnAllCores([&] {
            for (size_t p = next++; p < partitionCount && !workCancelled(control); p = next++)
                renderPartition(dealt, p, known[p], transform, inputScale, levels, pixels);
        });
        reportWork(control, double(bandEnd) / height);
    }
    LevelCounts counts;
    for (const auto &rows : dealt)
        counts.add(rows->counts);
    return counts;
}
