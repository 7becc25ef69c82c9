#pragma once

#include <lcms2.h>

// Converts one pixel's channel values (levels or ink per cent) through a
// transform to TYPE_RGB_FLT and writes monitor R, G, B clamped to 0..255.
void convertToDisplay(cmsHTRANSFORM displayTransform, float inputScale, const float channels[4], float rgb[3]);

// One transform output (a fraction) as a monitor level, clamped to 0..255.
float toDisplayLevel(float fraction);
