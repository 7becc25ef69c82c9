#pragma once

#include "pixelvalues.h"

#include <memory>
#include <vector>

class WorkControl;

// Counts the levels of the unmasked pixels of a picture band by band, each
// band on all cores; the totals are exact and the same whatever the bands
// and the number of threads.
class BandCounter
{
public:
    explicit BandCounter(int channelCount);
    ~BandCounter();
    void count(const PixelSources &band, WorkControl *control);
    PixelTotals totals() const;

private:
    // What one block of rows counts, kept from band to band: a fresh table
    // for every band would be memory to clear and add up again.
    struct BlockCounts;

    int channels;
    std::vector<std::unique_ptr<BlockCounts>> blocks;
};
