#pragma once

#include "exactsum.h"
#include "pixelmask.h"

#include <QImage>

#include <array>

// The images a pass reads. Below four channels the picture carries the channel
// values and the coverage (alpha); a four-ink image carries inks 1-3 in the
// red, green, blue of inkPage1, ink 4 in the red of inkPage2 and the coverage
// in its green, or, when inkPage2 is a Grayscale8 image, ink 4 alone in it
// and every pixel covered.
struct PixelSources {
    QImage picture;
    QImage inkPage1;
    QImage inkPage2;
    int channelCount = 0;
};

// One pixel's channel values: levels 0..255 below four channels, ink per cent
// 0..100 for four inks. Channel 3 stays 0 below four channels.
struct PixelValues {
    float channel[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float coverage = 1.0f;
};

// The count of the unmasked pixels and their per-channel sums. The sums are
// exact, rounded once to double: a float sum stalls on large images and the
// average drifts, and a rounded running sum would depend on the order.
struct PixelTotals {
    qint64 pixelCount = 0;
    std::array<double, 4> channelSums{};
};

// Gathers the totals pixel by pixel.
class TotalsAccumulator
{
public:
    void add(const PixelValues &values, int channelCount);
    PixelTotals totals() const;

private:
    qint64 count = 0;
    std::array<ExactSum, 4> sums;
};

// The exact float that a colour fraction of QColor becomes once scaled to
// levels (255) or per cent (100).
inline float scaledFraction(qreal fraction, double scale)
{
    return float(double(float(fraction)) * scale);
}

PixelValues readPixelValues(const PixelSources &sources, int x, int y);

// The mask of a pixel value: a full colour channel is 255, a full ink 100 per cent.
inline PixelMask maskOf(const PixelValues &values, int channelCount)
{
    return pixelMask(values.channel, values.coverage, channelCount, 255.0f, 100.0f);
}
