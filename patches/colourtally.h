#pragma once

#include <QtGlobal>

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
    // The pixels another tally held, as if added here.
    void add(ColourTally &&other);
    // The colours in the order of their levels.
    std::vector<Colour> colours() const;

private:
    // One key per pixel: counted in runs once sorted, in a fraction of the
    // memory and time a hash table of a million colours takes.
    std::vector<quint64> keys;
};
