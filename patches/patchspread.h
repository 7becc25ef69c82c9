#pragma once

#include "colourtally.h"
#include "patchmeasurement.h"

// The standard deviations and colour differences of the tallied colours of
// an n-channel patch around its average (averageLab): each colour converted
// to L*a*b* through profile under intent, in one transform. Empty figures
// when there is no transform; the ink totals are left to the caller.
PatchSpread spreadOf(const ColourTally &tally, const std::array<float, 3> &averageLab, int channelCount,
                     cmsHPROFILE profile, int intent);
