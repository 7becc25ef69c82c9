#pragma once

#include <QtGlobal>

#include <cmath>

// A sum of pixel values without rounding, in any order and on any number of
// threads. Every value a pass adds is a level or ink per cent made from a
// 16-bit level: a whole multiple of 2^-40 below 2^8, so counting in units of
// 2^-40 in 128 bits is exact for up to 2^63 pixels. The sum is rounded once,
// when it is read.
class ExactSum
{
public:
    void add(float value) { units += unitsOf(value); }
    void add(float value, quint64 times) { units += unitsOf(value) * __int128(times); }
    void add(const ExactSum &other) { units += other.units; }

    double value() const { return std::ldexp(double(units), -unitExponent); }

private:
    static constexpr int unitExponent = 40;
    static __int128 unitsOf(float value) { return __int128(std::ldexp(double(value), unitExponent)); }

    __int128 units = 0;
};
