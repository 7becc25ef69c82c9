#pragma once

#include "pixelvalues.h"

// Where the channels and the coverage of a pixel sit in the bytes of a band
// of 8-bit images, for the passes that read those bytes straight: below four
// channels in the picture (coverageOffset -1 for a coverage that is always
// full), four inks as inks 1-3 in the first ink image (4 bytes a pixel) and
// ink 4 in the second, with the coverage beside it (bytesPerPixel and
// coverageOffset tell where, in the second image).
struct ByteLayout {
    int offset[3] = {0, 0, 0};
    int coverageOffset = -1;
    int bytesPerPixel = 4;
};

// Whether the band's images hold 8-bit values as pixelColor reads them, as
// wide as the picture and as high as each other; *layout tells where below
// four channels.
bool eightBitLayout(const PixelSources &band, ByteLayout *layout);

// Pixel x of a row of colour pixels (below four channels): its channels into
// channel (the fourth 0); returns its coverage.
inline int readColourPixel(const uchar *row, int x, const ByteLayout &layout, int channel[4])
{
    const uchar *pixel = row + x * layout.bytesPerPixel;
    channel[0] = pixel[layout.offset[0]];
    channel[1] = pixel[layout.offset[1]];
    channel[2] = pixel[layout.offset[2]];
    channel[3] = 0;
    return layout.coverageOffset < 0 ? 255 : pixel[layout.coverageOffset];
}

// An 8-bit colour layout (below four channels) with its offsets as
// constants, for loops the compiler turns into vector code.
template <int Step, int First, int Second, int Third, int Coverage>
struct ColourLayout {
    // Pixel x of row: its channels into channel; whether it is counted, as 1 or 0.
    static quint32 read(const uchar *row, int x, int channelCount, int channel[4])
    {
        const uchar *pixel = row + Step * x;
        channel[0] = pixel[First];
        channel[1] = pixel[Second];
        channel[2] = pixel[Third];
        channel[3] = 0;
        const int coverage = Coverage < 0 ? 255 : pixel[Coverage];
        return pixelMask(channel, coverage, channelCount, 255, 255) == PixelMask::Counted;
    }
};

// Calls use with the ColourLayout of layout, one of those eightBitLayout gives below four channels.
template <typename Use>
void withColourLayout(const ByteLayout &layout, Use use)
{
    if (layout.bytesPerPixel == 1)
        use(ColourLayout<1, 0, 0, 0, -1>());
    else if (layout.offset[0] == 2 && layout.coverageOffset < 0)
        use(ColourLayout<4, 2, 1, 0, -1>());
    else if (layout.offset[0] == 2)
        use(ColourLayout<4, 2, 1, 0, 3>());
    else
        use(ColourLayout<4, 0, 1, 2, 3>());
}
