#include "referencepass.h"

#include "displayconversion.h"

#include <QColor>

PixelTotals referencePass(const PixelSources &sources, cmsHTRANSFORM displayTransform, float inputScale,
                          QImage *display)
{
    const int width = sources.picture.width();
    const int height = sources.picture.height();
    if (displayTransform)
        *display = QImage(width, height, QImage::Format_RGBA8888);

    TotalsAccumulator totals;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const PixelValues values = readPixelValues(sources, x, y);
            const bool counted = maskOf(values, sources.channelCount) == PixelMask::Counted;
            if (counted)
                totals.add(values, sources.channelCount);
            if (!displayTransform)
                continue;
            float rgb[3];
            convertToDisplay(displayTransform, inputScale, values.channel, rgb);
            QColor colour;
            colour.setRgbF(double(rgb[0]) / 255.0, double(rgb[1]) / 255.0, double(rgb[2]) / 255.0, counted ? 1.0 : 0.0);
            display->setPixelColor(x, y, colour);
        }
    }
    return totals.totals();
}
