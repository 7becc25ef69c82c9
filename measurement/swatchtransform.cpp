#include "swatchtransform.h"

#include "colourprofile.h"

#include <algorithm>

SwatchTransform::SwatchTransform(int intent, cmsHPROFILE monitor)
{
    const ColourProfile labProfile = ColourProfile::lab();
    toMonitor.reset(
        cmsCreateTransform(labProfile.handle(), TYPE_Lab_FLT, monitor, TYPE_RGB_FLT, cmsUInt32Number(intent), 0));
}

std::optional<std::array<int, 3>> SwatchTransform::levels(const std::array<float, 3> &lab) const
{
    if (!toMonitor)
        return std::nullopt;
    float rgb[3];
    cmsDoTransform(toMonitor.get(), lab.data(), rgb, 1);
    std::array<int, 3> levels{};
    for (size_t i = 0; i < 3; ++i)
        levels[i] = int(std::clamp(double(rgb[i]) * 255.0, 0.0, 255.0));
    return levels;
}
