#include "pixelvalues.h"

#include <QColor>

PixelValues readPixelValues(const PixelSources &sources, int x, int y)
{
    PixelValues values;
    if (sources.channelCount < 4) {
        const QColor colour = sources.picture.pixelColor(x, y);
        values.channel[0] = scaledFraction(colour.redF(), 255.0);
        values.channel[1] = scaledFraction(colour.greenF(), 255.0);
        values.channel[2] = scaledFraction(colour.blueF(), 255.0);
        values.coverage = float(colour.alphaF());
        return values;
    }
    // A pixel an ink page lacks reads as QColor's invalid colour: all fractions 0.
    const QColor inks = sources.inkPage1.valid(x, y) ? sources.inkPage1.pixelColor(x, y) : QColor();
    const bool blackRead = sources.inkPage2.valid(x, y);
    const QColor blackAndCoverage = blackRead ? sources.inkPage2.pixelColor(x, y) : QColor();
    values.channel[0] = scaledFraction(inks.redF(), 100.0);
    values.channel[1] = scaledFraction(inks.greenF(), 100.0);
    values.channel[2] = scaledFraction(inks.blueF(), 100.0);
    values.channel[3] = scaledFraction(blackAndCoverage.redF(), 100.0);
    if (sources.inkPage2.format() == QImage::Format_Grayscale8)
        values.coverage = blackRead ? 1.0f : 0.0f;
    else
        values.coverage = float(blackAndCoverage.greenF());
    return values;
}

void TotalsAccumulator::add(const PixelValues &values, int channelCount)
{
    ++count;
    const size_t summed = channelCount < 4 ? 3 : 4;
    for (size_t i = 0; i < summed; ++i)
        sums[i].add(values.channel[i]);
}

PixelTotals TotalsAccumulator::totals() const
{
    PixelTotals totals;
    totals.pixelCount = count;
    for (size_t i = 0; i < 4; ++i)
        totals.channelSums[i] = sums[i].value();
    return totals;
}
