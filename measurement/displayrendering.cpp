#include "displayrendering.h"

#include "displaybytes.h"
#include "fastpass.h"
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

RenderedDisplay renderDisplay(const PixelSources &sources, cmsHPROFILE input, cmsHPROFILE monitor,
                              WorkControl *control)
{
    RenderedDisplay rendered;
    const TransformHandle transform = makeDisplayTransform(input, monitor, sources.channelCount, &rendered.inputScale);
    rendered.converted = bool(transform);
    // The average does not depend on the display, so the pixels are summed
    // even when the picture has to be shown unconverted.
    rendered.totals = fastPass(sources, transform.get(), rendered.inputScale, &rendered.display, control);
    if (!rendered.converted)
        rendered.display = sources.picture;
    rendered.screen = screenImage(rendered.display);
    return rendered;
}

PixelTotals countPixels(const PixelSources &sources, WorkControl *control)
{
    QImage noDisplay;
    return fastPass(sources, nullptr, 1.0f, &noDisplay, control);
}
