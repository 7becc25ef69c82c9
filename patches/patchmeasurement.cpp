#include "patchmeasurement.h"

#include "colourtally.h"
#include "displaybytes.h"
#include "pixelrows.h"
#include "inktotals.h"
#include "levelcounts.h"
#include "parallel.h"
#include "measuringsession.h"
#include "patcharea.h"
#include "patchspread.h"
#include "sourcerows.h"
#include "workcontrol.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace {

// The part of a patch's measuring that one pass over its rows takes.
struct PassShare {
    double from;
    double to;
};

// Calls startBlock(block, y) and then each(block, y, levels) for every
// counted pixel of the area, on all cores: the area's rows of each band are
// split into consecutive blocks, block b on thread b, each read top to
// bottom and left to right. Only the bands that hold the area's rows are read.
template <typename StartBlock, typename Each>
bool forCountedPixels(const PictureRows &rows, const PatchArea &area, StartBlock startBlock, Each each,
                      PassShare share, WorkControl *control)
{
    const QRect region = area.region();
    const int n = rows.channelCount();
    auto takeBand = [&](const PixelSources &given, int top) {
        const PixelSources band = readableByRows(given);
        const int from = std::max(region.top(), top);
        const int to = std::min(region.bottom() + 1, top + band.picture.height());
        if (to <= from)
            return;
        forNumberedRowBlocks(to - from, [&](int block, int firstRow, int endRow) {
            SourceRows sourceRows(band);
            startBlock(block, from + firstRow);
            for (int y = from + firstRow; y < from + endRow && !workCancelled(control); ++y) {
                int first = 0, end = 0;
                area.rowSpan(y, &first, &end);
                if (first == end)
                    continue;
                sourceRows.read(y - top);
                for (int x = first; x < end; ++x) {
                    quint16 channels[4];
                    quint16 coverage;
                    sourceRows.levels(x, channels, &coverage);
                    if (countedLevels(channels, coverage, n))
                        each(block, y, channels);
                }
            }
        });
        reportWork(control, share.from + (share.to - share.from) * (to - region.top()) / region.height());
    };
    return rows.read(region.top(), region.bottom() + 1, takeBand, control) && !workCancelled(control);
}

// What the first pass over a patch gathers: the totals, the ink totals'
// first pass (four inks), and the counted pixels above each row, which place
// the even sample of the second pass.
struct FirstPass {
    PixelTotals totals;
    std::optional<InkTotals> inks;
    std::vector<qint64> countedAbove;
};

// What one thread gathers in the first pass, made when the thread starts on
// its first block, so that a small patch read on one thread makes one; a
// cache line of its own, so that the threads' counters do not share one.
struct alignas(64) CountingBlock {
    std::optional<LevelCounts> counts;
    std::optional<InkTotals> inks;
};

std::optional<FirstPass> countPatch(const PictureRows &rows, const PatchArea &area, const PixelTotals *known,
                                    WorkControl *control)
{
    const int n = rows.channelCount();
    const QRect region = area.region();
    std::vector<std::unique_ptr<CountingBlock>> blocks(static_cast<size_t>(workerThreads()));
    std::vector<qint64> countedInRow(size_t(region.height()), 0);
    const auto startBlock = [&](int block, int) {
        std::unique_ptr<CountingBlock> &own = blocks[size_t(block)];
        if (own)
            return;
        own = std::make_unique<CountingBlock>();
        if (!known)
            own->counts.emplace();
        if (n == 4)
            own->inks.emplace(99.0);
    };
    const bool read = forCountedPixels(rows, area, startBlock, [&](int block, int y, const quint16 *channels) {
        CountingBlock &own = *blocks[size_t(block)];
        if (own.counts)
            own.counts->count(channels, n < 4 ? 3 : 4);
        if (own.inks)
            own.inks->count(channels);
        ++countedInRow[size_t(y - region.top())];
    }, {0.0, 0.5}, control);
    if (!read)
        return std::nullopt;
    // The first thread's counts take the others'.
    const auto gather = [](auto &into, auto &part) {
        if (!part)
            return;
        if (into)
            into->add(*part);
        else
            into.emplace(std::move(*part));
    };
    FirstPass pass;
    std::optional<LevelCounts> counts;
    for (const std::unique_ptr<CountingBlock> &block : blocks) {
        if (!block)
            continue;
        gather(counts, block->counts);
        gather(pass.inks, block->inks);
    }
    if (known)
        pass.totals = *known;
    else if (counts)
        pass.totals = counts->totals(levelsFor(n));
    pass.countedAbove.assign(size_t(region.height()) + 1, 0);
    for (size_t row = 0; row < countedInRow.size(); ++row)
        pass.countedAbove[row + 1] = pass.countedAbove[row] + countedInRow[row];
    return pass;
}

// What one thread gathers in the second pass, made as the first pass's are.
struct alignas(64) SamplingBlock {
    ColourTally tally;
    std::optional<InkTotals> inks;
    qint64 remainder = 0;
};

// The second pass: the even sample's colours and the ink totals' second pass.
// Counted pixel k is in the sample when the even spacing k * max / all steps
// past a whole number; the remainder tells without a division a pixel.
bool samplePatch(const PictureRows &rows, const PatchArea &area, FirstPass &pass, ColourTally *tally,
                 WorkControl *control)
{
    const qint64 all = pass.totals.pixelCount;
    const bool sampled = all > maxDifferenceSamples;
    std::vector<std::unique_ptr<SamplingBlock>> blocks(static_cast<size_t>(workerThreads()));
    const int top = area.region().top();
    const auto startBlock = [&](int block, int y) {
        std::unique_ptr<SamplingBlock> &own = blocks[size_t(block)];
        if (!own) {
            own = std::make_unique<SamplingBlock>();
            own->inks = pass.inks;
        }
        const qint64 before = pass.countedAbove[size_t(y - top)];
        own->remainder = sampled ? before * maxDifferenceSamples % all : 0;
    };
    const bool read = forCountedPixels(rows, area, startBlock, [&](int block, int, const quint16 *channels) {
        SamplingBlock &own = *blocks[size_t(block)];
        bool taken = true;
        if (sampled) {
            own.remainder += maxDifferenceSamples;
            taken = own.remainder >= all;
            if (taken)
                own.remainder -= all;
        }
        if (taken)
            own.tally.add(channels);
        if (own.inks)
            own.inks->collect(channels);
    }, {0.5, 0.9}, control);
    for (const std::unique_ptr<SamplingBlock> &block : blocks) {
        if (!block)
            continue;
        tally->add(std::move(block->tally));
        if (block->inks)
            pass.inks->addCollected(*block->inks);
    }
    return read;
}

} // namespace

// The sums come from level counts, as the whole picture's do, so that a
// patch over the whole picture gives its average to the last digit; a patch
// that is the whole picture takes the picture's own counts when they are known.
PatchMeasurement measurePatch(const PictureRows &rows, const Patch &patch, cmsHPROFILE measuringProfile, int intent,
                              WorkControl *control, const PixelTotals *pictureTotals)
{
    PatchMeasurement result;
    const QRect picture(QPoint(), rows.size());
    const PatchArea area(patch, picture);
    result.region = area.region();
    if (result.region.isEmpty())
        return result;
    const int n = rows.channelCount();
    const bool wholePicture = patch.shape == PatchShape::Rect && result.region == picture;
    std::optional<FirstPass> pass = countPatch(rows, area, wholePicture ? pictureTotals : nullptr, control);
    if (!pass)
        return result;
    result.pixels = pass->totals.pixelCount;
    if (result.pixels == 0)
        return result;
    result.average = averageColour(pass->totals, n, measuringProfile, intent);
    if (!result.average)
        return result;
    ColourTally tally;
    if (!samplePatch(rows, area, *pass, &tally, control))
        return PatchMeasurement{result.region, 0, std::nullopt, {}};
    result.spread = spreadOf(tally, result.average->lab, n, measuringProfile, intent);
    result.spread.sampled = result.pixels > maxDifferenceSamples;
    if (pass->inks) {
        result.spread.tacMax = pass->inks->largest();
        result.spread.tacP99 = pass->inks->percentile();
    }
    return result;
}

PatchMeasurement measurePatch(const PixelSources &sources, const Patch &patch, cmsHPROFILE measuringProfile,
                              int intent)
{
    return measurePatch(KeptRows(sources), patch, measuringProfile, intent);
}

PatchMeasurement measurePatch(const MeasuringSession &session, const Patch &patch, WorkControl *control)
{
    const LoadedImage &image = session.image();
    if (!image.rows)
        return {};
    return measurePatch(*image.rows, patch, session.measuringProfile(), session.renderingIntent(), control,
                        &session.pixelTotals());
}
