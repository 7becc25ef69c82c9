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
