#include "displayconversion.h"

#include <algorithm>

void convertToDisplay(cmsHTRANSFORM displayTransform, float inputScale, const float channels[4], float rgb[3])
{
    float scaled[4];
    for (int i = 0; i < 4; ++i)
        scaled[i] = channels[i] * inputScale;
    cmsDoTransform(displayTransform, scaled, rgb, 1);
    for (int i = 0; i < 3; ++i)
        rgb[i] = toDisplayLevel(rgb[i]);
}

float toDisplayLevel(float fraction)
{
    return std::clamp(float(double(fraction) * 255.0), 0.0f, 255.0f);
}
