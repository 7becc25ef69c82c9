#pragma once

#include "pixelvalues.h"

#include <lcms2.h>

// The straightforward pass: one pixel at a time, row by row, left to right.
// Returns the counts and sums of the unmasked pixels. With a display transform
// it also renders every pixel for the monitor into display (Format_RGBA8888,
// the size of the picture), masked pixels transparent; without one only the
// totals are gathered, since the average does not depend on the display.
PixelTotals referencePass(const PixelSources &sources, cmsHTRANSFORM displayTransform, float inputScale,
                          QImage *display);
