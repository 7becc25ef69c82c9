#include "pixelformat.h"

namespace {

cmsUInt32Number floatFormat(cmsUInt32Number colorSpace, int channelCount)
{
    return FLOAT_SH(1) | COLORSPACE_SH(colorSpace) | CHANNELS_SH(channelCount) | BYTES_SH(4);
}

} // namespace

bool getPixelFormat(int channelCount, cmsUInt32Number *pixelFormat, float *scale)
{
    *scale = 1.0f;
    switch (channelCount) {
    case 1:
        *pixelFormat = TYPE_GRAY_FLT;
        *scale = 1.0f / 255.0f;
        return true;
    case 2:
        // Little CMS reads two-channel floats as fractions, like grey and RGB.
        *pixelFormat = floatFormat(PT_MCH2, 2);
        *scale = 1.0f / 255.0f;
        return true;
    case 3:
        *pixelFormat = TYPE_RGB_FLT;
        *scale = 1.0f / 255.0f;
        return true;
    case 4:
        *pixelFormat = TYPE_CMYK_FLT;
        return true;
    default:
        if (channelCount < 5 || channelCount > 15)
            return false;
        *pixelFormat = floatFormat(PT_MCH1 + channelCount - 1, channelCount);
        return true;
    }
}
