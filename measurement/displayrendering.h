#pragma once

#include "lcmshandles.h"
#include "loadedimage.h"
#include "pixelvalues.h"

// What an operation hands the view: the counts and sums of the unmasked
// pixels of the picture to be drawn anew. The view draws it at the size it
// is shown.
struct RenderedDisplay {
    PixelTotals totals;
};

// The transform from the input profile to the monitor, always relative
// colorimetric; null (with its debug line) when there is no input profile,
// no monitor profile, no pixel format for the channel count, or Little CMS
// refuses the pair. Stores the channel scale into inputScale.
TransformHandle makeDisplayTransform(cmsHPROFILE input, cmsHPROFILE monitor, int numberOfInks, float *inputScale);

// Whether input and monitor are the same profile (all but the header's date
// and profile ID alike), so that showing the picture converts nothing: the
// float transform would only add rounding, at most of a rendering's cost.
bool displayConvertsNothing(cmsHPROFILE input, cmsHPROFILE monitor);
