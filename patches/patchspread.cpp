#include "patchspread.h"

#include "colourdifference.h"
#include "colourprofile.h"
#include "displaybytes.h"
#include "lcmshandles.h"
#include "parallel.h"
#include "pixelformat.h"

#include <algorithm>
#include <cmath>

namespace {

// A value with the number of pixels that have it.
struct Weighted {
    double value;
    qint64 pixels;
};

// The nearest-rank percentile: the smallest value that at least percent per
// cent of the pixels do not exceed. It is always a value some pixel has.
double nearestRank(std::vector<Weighted> values, double percent)
{
    std::sort(values.begin(), values.end(), [](const Weighted &a, const Weighted &b) { return a.value < b.value; });
    qint64 total = 0;
    for (const Weighted &v : values)
        total += v.pixels;
    const qint64 rank = std::max<qint64>(1, qint64(std::ceil(percent / 100.0 * double(total))));
    qint64 reached = 0;
    for (const Weighted &v : values) {
        reached += v.pixels;
        if (reached >= rank)
            return v.value;
    }
    return values.empty() ? 0.0 : values.back().value;
}

// L*a*b* of every colour, as the record's values of its levels through the transform.
std::vector<std::array<float, 3>> labOf(const std::vector<ColourTally::Colour> &colours, int channelCount,
                                        cmsHTRANSFORM transform, float inputScale)
{
    const auto &levels = levelsFor(channelCount);
    const size_t perColour = T_CHANNELS(cmsGetTransformInputFormat(transform));
    std::vector<std::array<float, 3>> lab(colours.size());
    runInParallelChunks(colours.size(), [&](size_t first, size_t end) {
        std::vector<float> input((end - first) * perColour);
        for (size_t i = first; i < end; ++i)
            for (size_t c = 0; c < perColour; ++c)
                input[(i - first) * perColour + c] = levels[colours[i].levels[c]] * inputScale;
        cmsDoTransform(transform, input.data(), lab[first].data(), cmsUInt32Number(end - first));
    });
    return lab;
}

// Population standard deviations of L*, a*, b* over the tallied pixels.
std::array<double, 3> standardDeviations(const std::vector<ColourTally::Colour> &colours,
                                         const std::vector<std::array<float, 3>> &lab)
{
    std::array<double, 3> mean{}, deviation{};
    qint64 pixels = 0;
    for (size_t i = 0; i < colours.size(); ++i) {
        pixels += colours[i].pixels;
        for (size_t c = 0; c < 3; ++c)
            mean[c] += double(colours[i].pixels) * double(lab[i][c]);
    }
    for (double &m : mean)
        m /= double(std::max<qint64>(1, pixels));
    for (size_t i = 0; i < colours.size(); ++i)
        for (size_t c = 0; c < 3; ++c)
            deviation[c] += double(colours[i].pixels) * std::pow(double(lab[i][c]) - mean[c], 2);
    for (double &d : deviation)
        d = std::sqrt(d / double(std::max<qint64>(1, pixels)));
    return deviation;
}

void addColourDifferences(const std::vector<ColourTally::Colour> &colours,
                          const std::vector<std::array<float, 3>> &lab, const std::array<float, 3> &averageLab,
                          PatchSpread *spread)
{
    // The differences on all cores; the sum in the colours' order, so that it does not depend on their number.
    std::vector<double> difference(colours.size());
    runInParallelChunks(colours.size(), [&](size_t first, size_t end) {
        for (size_t i = first; i < end; ++i)
            difference[i] = deltaE2000(lab[i], averageLab);
    });
    std::vector<Weighted> differences;
    differences.reserve(colours.size());
    double sum = 0.0;
    qint64 pixels = 0;
    for (size_t i = 0; i < colours.size(); ++i) {
        differences.push_back({difference[i], colours[i].pixels});
        sum += difference[i] * double(colours[i].pixels);
        pixels += colours[i].pixels;
    }
    spread->dE00Mean = sum / double(std::max<qint64>(1, pixels));
    spread->dE00P95 = nearestRank(std::move(differences), 95.0);
}

} // namespace

PatchSpread spreadOf(const ColourTally &tally, const std::array<float, 3> &averageLab, int channelCount,
                     cmsHPROFILE profile, int intent)
{
    PatchSpread spread;
    cmsUInt32Number pixelFormat = 0;
    float inputScale = 1.0f;
    if (!profile || !getPixelFormat(channelCount, &pixelFormat, &inputScale))
        return spread;
    const ColourProfile labProfile = ColourProfile::lab();
    const TransformHandle toLab(
        cmsCreateTransform(profile, pixelFormat, labProfile.handle(), TYPE_Lab_FLT, cmsUInt32Number(intent), 0));
    if (!toLab)
        return spread;
    const std::vector<ColourTally::Colour> colours = tally.colours();
    const std::vector<std::array<float, 3>> lab = labOf(colours, channelCount, toLab.get(), inputScale);
    spread.sdLab = standardDeviations(colours, lab);
    addColourDifferences(colours, lab, averageLab, &spread);
    return spread;
}
