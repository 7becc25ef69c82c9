#include "colourtally.h"

#include <algorithm>
#include <utility>

void ColourTally::add(const quint16 levels[4])
{
    keys.push_back(quint64(levels[0]) | quint64(levels[1]) << 16 | quint64(levels[2]) << 32 |
                   quint64(levels[3]) << 48);
}

void ColourTally::add(ColourTally &&other)
{
    if (keys.empty())
        keys = std::move(other.keys);
    else
        keys.insert(keys.end(), other.keys.begin(), other.keys.end());
    other.keys.clear();
}

std::vector<ColourTally::Colour> ColourTally::colours() const
{
    std::vector<quint64> sorted = keys;
    std::sort(sorted.begin(), sorted.end());
    std::vector<Colour> list;
    for (auto run = sorted.begin(); run != sorted.end();) {
        const quint64 key = *run;
        const auto next = std::find_if(run, sorted.end(), [key](quint64 other) { return other != key; });
        list.push_back({{quint16(key), quint16(key >> 16), quint16(key >> 32), quint16(key >> 48)}, qint64(next - run)});
        run = next;
    }
    return list;
}
