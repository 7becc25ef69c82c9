#pragma once

#include "exactsum.h"
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
    // One counted pixel; channels beyond summedChannels are not added.
    void count(const quint16 levels[4], int summedChannels)
    {
        ++pixels;
        for (int c = 0; c < summedChannels; ++c)
            add(c, levels[c], 1);
    }
    void add(const LevelCounts &other);
    // Counts gathered elsewhere: times pixels with this level in channel, and that many pixels.
    void add(int channel, quint16 level, quint64 times)
    {
        if (!wide) {
            if (isEightBitLevel(level)) {
                counts[size_t(channel) * 256 + (level & 0xFF)] += times;
                return;
            }
            widen();
        }
        counts[size_t(channel) * 65536 + level] += times;
    }
    void addPixels(qint64 count) { pixels += count; }

    // The totals, each level's value taken from the table of the pass.
    PixelTotals totals(const std::array<float, 65536> &levelValues) const;
    // The same sums unrounded, for adding to sums gathered otherwise.
    std::array<ExactSum, 4> channelSums(const std::array<float, 65536> &levelValues) const;
    qint64 pixelCount() const { return pixels; }

private:
    // The 16-bit level of an 8-bit one (v × 257) has equal bytes.
    static bool isEightBitLevel(quint16 level) { return (level >> 8) == (level & 0xFF); }
    void widen();

    // Per channel, 256 counts while every level is one of 8-bit data, which is
    // most pictures; the 65536 counts of every 16-bit level from the first
    // other level on. A fresh table of those is 2 MB of memory to clear.
    std::vector<quint64> counts = std::vector<quint64>(4 * 256, 0);
    bool wide = false;
    qint64 pixels = 0;
};
