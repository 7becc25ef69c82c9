#pragma once

#include <QtGlobal>

#include <unordered_map>
#include <vector>

// The distinct colours among the pixels of a patch's sample, by their 16-bit
// levels, with how many pixels have each. A patch of a photograph repeats
// its colours many times; each is converted once.
class ColourTally
{
public:
    struct Colour {
        quint16 levels[4];
        qint64 pixels;
    };

    void add(const quint16 levels[4]);
    // The colours in no particular order.
    std::vector<Colour> colours() const;

private:
    std::unordered_map<quint64, qint64> counts;
};
