#pragma once

#include "lcmshandles.h"
#include "loadedimage.h"
#include "pixelvalues.h"

class WorkControl;

// The picture for the monitor and, from the same pass, the counts and sums
// of the unmasked pixels.
struct RenderedDisplay {
    // Converted for the monitor; the picture as read when no display transform can be made.
    QImage display;
    // The same as the screen takes it, ready for a pixmap.
    QImage screen;
    PixelTotals totals;
    bool converted = false;
    // The factor the channel values were scaled by before the transform.
    float inputScale = 1.0f;
};

// The transform from the input profile to the monitor, always relative
// colorimetric; null (with its debug line) when there is no input profile,
// no monitor profile, no pixel format for the channel count, or Little CMS
// refuses the pair. Stores the channel scale into inputScale.
TransformHandle makeDisplayTransform(cmsHPROFILE input, cmsHPROFILE monitor, int numberOfInks, float *inputScale);

// Sums every unmasked pixel of the images and renders them through input onto monitor.
RenderedDisplay renderDisplay(const PixelSources &sources, cmsHPROFILE input, cmsHPROFILE monitor,
                              WorkControl *control = nullptr);

// Only the counts and sums of the unmasked pixels, without a picture for a monitor.
PixelTotals countPixels(const PixelSources &sources, WorkControl *control = nullptr);
