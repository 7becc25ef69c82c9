#include "levelcounts.h"

void LevelCounts::widen()
{
    if (wide)
        return;
    std::vector<quint64> all(4 * 65536, 0);
    for (size_t c = 0; c < 4; ++c)
        for (size_t level = 0; level < 256; ++level)
            all[c * 65536 + level * 257] = counts[c * 256 + level];
    counts = std::move(all);
    wide = true;
}

void LevelCounts::add(const LevelCounts &other)
{
    pixels += other.pixels;
    if (other.wide)
        widen();
    if (wide == other.wide) {
        for (size_t i = 0; i < counts.size(); ++i)
            counts[i] += other.counts[i];
        return;
    }
    for (size_t c = 0; c < 4; ++c)
        for (size_t level = 0; level < 256; ++level)
            counts[c * 65536 + level * 257] += other.counts[c * 256 + level];
}

PixelTotals LevelCounts::totals(const std::array<float, 65536> &levelValues) const
{
    PixelTotals totals;
    totals.pixelCount = pixels;
    const std::array<ExactSum, 4> sums = channelSums(levelValues);
    for (size_t c = 0; c < 4; ++c)
        totals.channelSums[c] = sums[c].value();
    return totals;
}

std::array<ExactSum, 4> LevelCounts::channelSums(const std::array<float, 65536> &levelValues) const
{
    std::array<ExactSum, 4> sums;
    const size_t levels = wide ? 65536 : 256;
    const size_t step = wide ? 1 : 257;
    for (size_t c = 0; c < 4; ++c)
        for (size_t level = 0; level < levels; ++level)
            if (const quint64 n = counts[c * levels + level])
                sums[c].add(levelValues[level * step], n);
    return sums;
}
