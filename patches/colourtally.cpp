#include "colourtally.h"

void ColourTally::add(const quint16 levels[4])
{
    const quint64 key = quint64(levels[0]) | quint64(levels[1]) << 16 | quint64(levels[2]) << 32 |
                        quint64(levels[3]) << 48;
    ++counts[key];
}

std::vector<ColourTally::Colour> ColourTally::colours() const
{
    std::vector<Colour> list;
    list.reserve(counts.size());
    for (const auto &[key, pixels] : counts)
        list.push_back({{quint16(key), quint16(key >> 16), quint16(key >> 32), quint16(key >> 48)}, pixels});
    return list;
}
