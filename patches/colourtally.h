#pragma once

#include <QtGlobal>

#include <unordered_map>
#include <vector>

// The distinct colours among a patch's counted pixels, by their 16-bit
// levels, with how many pixels have each and how many of those are in the
// sample the colour differences are taken over. A patch of a photograph
// repeats its colours many times; each is converted once.
class ColourTally
{
public:
    struct Colour {
        quint16 levels[4];
        qint64 pixels;
        qint64 sampled;
    };

    void add(const quint16 levels[4], bool inSample);
    // The colours in no particular order.
    std::vector<Colour> colours() const;

private:
    struct Counts {
        qint64 pixels = 0;
        qint64 sampled = 0;
    };
    std::unordered_map<quint64, Counts> counts;
};
