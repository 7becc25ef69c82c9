#include "displayrendering.h"

#include "pixelformat.h"

#include <QDebug>

TransformHandle makeDisplayTransform(cmsHPROFILE input, cmsHPROFILE monitor, int numberOfInks, float *inputScale)
{
    if (!input) {
        qDebug("No SRC!");
        return nullptr;
    }
    if (!monitor) {
        qDebug("No DST!");
        return nullptr;
    }
    cmsUInt32Number pixelFormat = 0;
    TransformHandle transform;
    // The rendering intent chosen in the panel is for the measurement, never for the display.
    if (getPixelFormat(numberOfInks, &pixelFormat, inputScale))
        transform.reset(cmsCreateTransform(input, pixelFormat, monitor, TYPE_RGB_FLT, INTENT_RELATIVE_COLORIMETRIC, 0));
    if (!transform)
        qDebug("No Display TRANSFORM!");
    return transform;
}
