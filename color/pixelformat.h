#pragma once

#include <lcms2.h>

// Little CMS float pixel format for an image of channelCount channels, and the
// factor its channel values are multiplied by before a transform (1/255 for
// grey, two-colour and RGB levels, 1.0 for ink percentages and other counts).
// Stores 1.0 as scale first; false and no format for counts outside 1..15.
bool getPixelFormat(int channelCount, cmsUInt32Number *pixelFormat, float *scale);
