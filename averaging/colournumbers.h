#pragma once

#include <QtGlobal>

#include <algorithm>
#include <vector>

// Open addressing from the packed channel levels of a colour to its number.
class ColourNumbers
{
public:
    explicit ColourNumbers(size_t expected) { rehash(std::max<size_t>(1024, expected * 2)); }

    // The colour's number, adding it when new.
    quint32 insert(quint64 key)
    {
        if (list.size() * 2 >= keys.size())
            rehash(keys.size() * 2);
        size_t slot = find(key);
        if (numbers[slot] == 0) {
            list.push_back(key);
            keys[slot] = key;
            numbers[slot] = quint32(list.size());
        }
        return numbers[slot] - 1;
    }
    const std::vector<quint64> &colours() const { return list; }

private:
    size_t find(quint64 key) const
    {
        // A full mix, then the top bits: every bit of the key reaches the slot,
        // and keys dealt out by another hash of theirs still spread evenly.
        quint64 mixed = key ^ (key >> 33);
        mixed *= 0xFF51AFD7ED558CCDull;
        mixed ^= mixed >> 33;
        mixed *= 0xC4CEB9FE1A85EC53ull;
        size_t slot = size_t(mixed >> shift);
        while (numbers[slot] != 0 && keys[slot] != key)
            slot = (slot + 1) & (keys.size() - 1);
        return slot;
    }
    void rehash(size_t capacity)
    {
        size_t size = 2;
        shift = 63;
        while (size < capacity) {
            size *= 2;
            --shift;
        }
        keys.assign(size, 0);
        numbers.assign(size, 0);
        for (size_t i = 0; i < list.size(); ++i) {
            const size_t slot = find(list[i]);
            keys[slot] = list[i];
            numbers[slot] = quint32(i + 1);
        }
    }

    int shift = 63;
    std::vector<quint64> keys;
    std::vector<quint32> numbers; // 0: empty slot; otherwise the colour's number plus one
    std::vector<quint64> list;
};
