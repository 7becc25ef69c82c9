#include "levelcounts.h"

void LevelCounts::add(const LevelCounts &other)
{
    pixels += other.pixels;
    for (size_t i = 0; i < counts.size(); ++i)
        counts[i] += other.counts[i];
}

PixelTotals LevelCounts::totals(const std::array<float, 65536> &levelValues) const
{
    PixelTotals totals;
    totals.pixelCount = pixels;
    for (size_t c = 0; c < 4; ++c) {
        ExactSum sum;
        for (size_t level = 0; level < 65536; ++level)
            if (const quint64 n = counts[c * 65536 + level])
                sum.add(levelValues[level], n);
        totals.channelSums[c] = sum.value();
    }
    return totals;
}
