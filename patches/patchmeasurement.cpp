#include "patchmeasurement.h"

#include "colourtally.h"
#include "displaybytes.h"
#include "pixelrows.h"
#include "inktotals.h"
#include "levelcounts.h"
#include "measuringsession.h"
#include "patcharea.h"
#include "patchspread.h"
#include "sourcerows.h"

#include <algorithm>

namespace {

// Calls counted(levels) for each counted pixel of the area, row by row,
// left to right; only the bands that hold the area's rows are read.
template <typename Counted>
bool forCountedPixels(const PictureRows &rows, const PatchArea &area, Counted counted, WorkControl *control)
{
    const QRect region = area.region();
    const int n = rows.channelCount();
    auto takeBand = [&](const PixelSources &given, int top) {
        const PixelSources band = readableByRows(given);
        SourceRows sourceRows(band);
        const int last = std::min(region.bottom(), top + band.picture.height() - 1);
        for (int y = std::max(region.top(), top); y <= last; ++y) {
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
                    counted(channels);
            }
        }
    };
    return rows.read(region.top(), region.bottom() + 1, takeBand, control);
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
    const bool known = pictureTotals && patch.shape == PatchShape::Rect && result.region == picture;
    LevelCounts counts;
    InkTotals inkTotals(99.0);
    if (!known || n == 4) {
        const bool counted = forCountedPixels(rows, area, [&](const quint16 *channels) {
            if (!known)
                counts.count(channels, n < 4 ? 3 : 4);
            if (n == 4)
                inkTotals.count(channels);
        }, control);
        if (!counted)
            return result;
    }
    const PixelTotals totals = known ? *pictureTotals : counts.totals(levelsFor(n));
    result.pixels = totals.pixelCount;
    if (totals.pixelCount == 0)
        return result;
    result.average = averageColour(totals, n, measuringProfile, intent);
    if (!result.average)
        return result;

    // Counted pixel k is in the sample when the even spacing k * max / all
    // steps past a whole number; the remainder tells without a division.
    const qint64 all = totals.pixelCount;
    const bool sampled = all > maxDifferenceSamples;
    ColourTally tally;
    qint64 remainder = 0;
    const bool read = forCountedPixels(rows, area, [&](const quint16 *channels) {
        bool taken = true;
        if (sampled) {
            remainder += maxDifferenceSamples;
            taken = remainder >= all;
            if (taken)
                remainder -= all;
        }
        if (taken)
            tally.add(channels);
        if (n == 4)
            inkTotals.collect(channels);
    }, control);
    if (!read)
        return PatchMeasurement{result.region, 0, std::nullopt, {}};
    result.spread = spreadOf(tally, result.average->lab, n, measuringProfile, intent);
    result.spread.sampled = sampled;
    if (n == 4) {
        result.spread.tacMax = inkTotals.largest();
        result.spread.tacP99 = inkTotals.percentile();
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
