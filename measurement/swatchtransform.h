#pragma once

#include "lcmshandles.h"

#include <lcms2.h>

#include <array>
#include <optional>

// L*a*b* colours as the monitor shows them, through one transform for all of
// them: a table of swatches would otherwise build a transform per cell.
class SwatchTransform
{
public:
    SwatchTransform(int intent, cmsHPROFILE monitor);

    // Levels 0..255 (cut toward zero, then clamped); nothing when Little CMS
    // cannot convert to the monitor.
    std::optional<std::array<int, 3>> levels(const std::array<float, 3> &lab) const;

private:
    TransformHandle toMonitor;
};
