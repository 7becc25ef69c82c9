#pragma once

#include "averagecolour.h"
#include "patch.h"
#include "picturerows.h"
#include "pixelvalues.h"

#include <QRect>

#include <lcms2.h>

#include <optional>

class MeasuringSession;

// How the counted pixels of a patch spread around their average.
struct PatchSpread {
    // Standard deviation of L*, a*, b* over the counted pixels, or over the
    // same evenly spaced ones as the ΔE2000 figures when those are sampled:
    // every pixel of a large patch would need a conversion of its own.
    std::array<double, 3> sdLab{};
    // ΔE2000 between each counted pixel and the patch's average: mean and 95th percentile.
    double dE00Mean = 0.0;
    double dE00P95 = 0.0;
    // Set when the ΔE2000 figures (and the standard deviations) come from evenly spaced pixels, not all of them.
    bool sampled = false;
    // Four inks only: the largest total ink (C + M + Y + K, per cent) and its
    // 99th percentile, over every counted pixel.
    double tacMax = 0.0;
    double tacP99 = 0.0;
};

// One patch measured with the whole picture's rules: the same masks, the
// same exact sums, profile and intent.
struct PatchMeasurement {
    // The patch cut to the picture.
    QRect region;
    qint64 pixels = 0;
    // Nothing when no pixel is counted or no transform can be made.
    std::optional<AverageColour> average;
    PatchSpread spread;
};

// Measures patch on the picture whose rows are handed out, through
// measuringProfile under intent; only the bands that hold the patch's rows
// are read. pictureTotals, when given, are those of the whole picture's
// counted pixels, which a patch over all of it need not count again. Nothing
// counted when the reading is cancelled or fails.
PatchMeasurement measurePatch(const PictureRows &rows, const Patch &patch, cmsHPROFILE measuringProfile, int intent,
                              WorkControl *control = nullptr, const PixelTotals *pictureTotals = nullptr);

// Measures patch on the picture that sources hold, through measuringProfile under intent.
PatchMeasurement measurePatch(const PixelSources &sources, const Patch &patch, cmsHPROFILE measuringProfile,
                              int intent);

// Measures patch on the session's picture through its measuring profile and
// intent, as the session's average is: from the kept samples, or from the
// file when the picture is not kept.
PatchMeasurement measurePatch(const MeasuringSession &session, const Patch &patch, WorkControl *control = nullptr);

// The most counted pixels the spread is taken over; larger patches are sampled evenly.
constexpr qint64 maxDifferenceSamples = 1000000;
