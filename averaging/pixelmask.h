#pragma once

enum class PixelMask { Counted, GreenKey, FullInk, Transparent };

// The mask rule, once for every unit the passes read channels in: the record's
// levels and per cents, 16-bit levels and 8-bit levels. First matching rule
// wins: the green key of RGB images (no red, full green, no blue), all four
// inks full, then no coverage at all. colourFull and inkFull are a full
// colour channel and a full ink in that unit. Inline, so that the fast
// pass's loops keep their plain integer compares.
template <typename Value>
inline PixelMask pixelMask(const Value channel[4], Value coverage, int channelCount, Value colourFull, Value inkFull)
{
    if (channelCount == 3 && channel[0] == Value(0) && channel[1] == colourFull && channel[2] == Value(0))
        return PixelMask::GreenKey;
    if (channelCount > 3 && channel[0] == inkFull && channel[1] == inkFull && channel[2] == inkFull &&
        channel[3] == inkFull)
        return PixelMask::FullInk;
    if (coverage == Value(0))
        return PixelMask::Transparent;
    return PixelMask::Counted;
}
