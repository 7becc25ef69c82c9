#pragma once

#include "levelcounts.h"
#include "pixelvalues.h"

class WorkControl;

// Counts the levels of the unmasked pixels of a picture band by band, each
// band on all cores; the totals are exact and the same whatever the bands
// and the number of threads.
class BandCounter
{
public:
    explicit BandCounter(int channelCount) : channels(channelCount) {}
    void count(const PixelSources &band, WorkControl *control);
    PixelTotals totals() const;

private:
    int channels;
    LevelCounts counts;
};
