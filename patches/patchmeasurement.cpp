#include "patchmeasurement.h"

#include "colourtally.h"
#include "displaybytes.h"
#include "fastpass.h"
#include "inktotals.h"
#include "levelcounts.h"
#include "measuringsession.h"
#include "patcharea.h"
#include "patchspread.h"
#include "sourcerows.h"

namespace {

// Calls counted(levels) for each counted pixel of the area, row by row, left to right.
template <typename Counted>
void forCountedPixels(const PixelSources &sources, const PatchArea &area, Counted counted)
{
    SourceRows rows(sources);
    const QRect region = area.region();
    for (int y = region.top(); y <= region.bottom(); ++y) {
        int first = 0, end = 0;
        area.rowSpan(y, &first, &end);
        if (first == end)
            continue;
        rows.read(y);
        for (int x = first; x < end; ++x) {
            quint16 channels[4];
            quint16 coverage;
            rows.levels(x, channels, &coverage);
            if (countedLevels(channels, coverage, sources.channelCount))
                counted(channels);
        }
    }
}

} // namespace

// The sums come from level counts, as the whole picture's do, so that a
// patch over the whole picture gives its average to the last digit.
PatchMeasurement measurePatch(const PixelSources &given, const Patch &patch, cmsHPROFILE measuringProfile,
                              int intent)
{
    PatchMeasurement result;
    const PatchArea area(patch, given.picture.rect());
    result.region = area.region();
    if (result.region.isEmpty())
        return result;
    const PixelSources sources = readableByRows(given);
    const int n = sources.channelCount;
    LevelCounts counts;
    InkTotals inkTotals(99.0);
    forCountedPixels(sources, area, [&](const quint16 *channels) {
        counts.count(channels, n < 4 ? 3 : 4);
        if (n == 4)
            inkTotals.count(channels);
    });
    const PixelTotals totals = counts.totals(levelsFor(n));
    result.pixels = totals.pixelCount;
    if (totals.pixelCount == 0)
        return result;
    result.average = averageColour(totals, n, measuringProfile, intent);
    if (!result.average)
        return result;

    // Counted pixel k is in the sample when the even spacing steps past it.
    const qint64 all = totals.pixelCount;
    const bool sampled = all > maxDifferenceSamples;
    ColourTally tally;
    qint64 k = 0;
    forCountedPixels(sources, area, [&](const quint16 *channels) {
        if (!sampled || (k * maxDifferenceSamples) / all != ((k + 1) * maxDifferenceSamples) / all)
            tally.add(channels);
        if (n == 4)
            inkTotals.collect(channels);
        ++k;
    });
    result.spread = spreadOf(tally, result.average->lab, n, measuringProfile, intent);
    result.spread.sampled = sampled;
    if (n == 4) {
        result.spread.tacMax = inkTotals.largest();
        result.spread.tacP99 = inkTotals.percentile();
    }
    return result;
}

PatchMeasurement measurePatch(const MeasuringSession &session, const Patch &patch)
{
    return measurePatch(session.image().pixelSources(), patch, session.measuringProfile(),
                        session.renderingIntent());
}
