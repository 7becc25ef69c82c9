#pragma once

#include "pixelvalues.h"

#include <lcms2.h>

#include <array>
#include <optional>

// The measured average of the unmasked pixels.
struct AverageColour {
    // Channel averages in the units of the pixel values: levels 0..255, or ink per cent.
    std::array<float, 4> channels{};
    std::array<float, 3> lab{};
    // L*, C*, h* with h* in degrees, 0 to 360.
    std::array<float, 3> lch{};
    // The four ink coverages added up, 0 to 400 per cent.
    float inkTotal = 0.0f;
};

// The average of totals converted through input to L*a*b* (D50) under the
// rendering intent. An empty count averages as one pixel of zeros. Nothing
// when there is no pixel format for the channel count, no transform from
// input to L*a*b*, or no finite L*a*b* out of it.
std::optional<AverageColour> averageColour(const PixelTotals &totals, int numberOfInks, cmsHPROFILE input, int intent);

// An L*a*b* colour as the monitor shows it, in levels 0..255 (cut toward
// zero, then clamped); nothing when Little CMS cannot convert to the monitor.
// For many colours, SwatchTransform builds the transform once.
std::optional<std::array<int, 3>> swatchLevels(const std::array<float, 3> &lab, int intent, cmsHPROFILE monitor);
