#pragma once

#include "pixelvalues.h"

#include <QtGlobal>

#include <array>
#include <vector>

// How often each 16-bit level of each channel occurs among the counted
// pixels of a part of the image. Parts are counted on separate threads and
// added up; the exact sums follow from the counts, so the totals are the same
// whatever the order or the number of threads.
class LevelCounts
{
public:
    LevelCounts() : counts(4 * 65536, 0) {}

    // One counted pixel; channels beyond summedChannels are not added.
    void count(const quint16 levels[4], int summedChannels)
    {
        ++pixels;
        for (int c = 0; c < summedChannels; ++c)
            ++counts[size_t(c) * 65536 + levels[c]];
    }
    void add(const LevelCounts &other);
    // Counts gathered elsewhere: times pixels with this level in channel, and that many pixels.
    void add(int channel, quint16 level, quint64 times) { counts[size_t(channel) * 65536 + level] += times; }
    void addPixels(qint64 count) { pixels += count; }

    // The totals, each level's value taken from the table of the pass.
    PixelTotals totals(const std::array<float, 65536> &levelValues) const;

private:
    std::vector<quint64> counts;
    qint64 pixels = 0;
};
