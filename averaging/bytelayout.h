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
