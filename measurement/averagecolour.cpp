#include "averagecolour.h"

#include "swatchtransform.h"

#include "colourprofile.h"
#include "pixelformat.h"

#include <algorithm>
#include <cmath>

namespace {

std::array<float, 4> channelAverages(const PixelTotals &totals)
{
    const double count = double(std::max<qint64>(1, totals.pixelCount));
    std::array<float, 4> average{};
    for (size_t i = 0; i < 4; ++i)
        average[i] = float(totals.channelSums[i] / count);
    return average;
}

std::array<float, 3> toLch(const std::array<float, 3> &lab)
{
    const cmsCIELab in{double(lab[0]), double(lab[1]), double(lab[2])};
    cmsCIELCh lch;
    cmsLab2LCh(&lch, &in);
    return {float(lch.L), float(lch.C), float(lch.h)};
}

} // namespace

// An average outside the monitor's gamut is shown as the nearest colour it
// can show; Qt would paint an out-of-range rgb() black.
std::optional<std::array<int, 3>> swatchLevels(const std::array<float, 3> &lab, int intent, cmsHPROFILE monitor)
{
    return SwatchTransform(intent, monitor).levels(lab);
}

std::optional<AverageColour> averageColour(const PixelTotals &totals, int numberOfInks, cmsHPROFILE input, int intent)
{
    cmsUInt32Number pixelFormat = 0;
    float inputScale = 1.0f;
    if (!getPixelFormat(numberOfInks, &pixelFormat, &inputScale) || !input)
        return std::nullopt;
    const ColourProfile labProfile = ColourProfile::lab();
    const TransformHandle toLab(
        cmsCreateTransform(input, pixelFormat, labProfile.handle(), TYPE_Lab_FLT, cmsUInt32Number(intent), 0));
    if (!toLab)
        return std::nullopt;

    AverageColour result;
    result.channels = channelAverages(totals);
    float scaled[4];
    for (size_t i = 0; i < 4; ++i)
        scaled[i] = result.channels[i] * inputScale;
    cmsDoTransform(toLab.get(), scaled, result.lab.data(), 1);
    // A damaged profile may still open and convert, into infinities: that is no colour to report.
    if (!std::all_of(result.lab.begin(), result.lab.end(), [](float v) { return std::isfinite(v); }))
        return std::nullopt;
    result.lch = toLch(result.lab);
    result.inkTotal = result.channels[0] + result.channels[1] + result.channels[2] + result.channels[3];
    return result;
}
