#include "separationrow.h"

void splitSeparationRow(const uchar *cmyk, int width, uchar *inks, uchar *blackAndCoverage)
{
    for (int x = 0; x < width; ++x, cmyk += 4, inks += 4, blackAndCoverage += 4) {
        inks[0] = cmyk[0];
        inks[1] = cmyk[1];
        inks[2] = cmyk[2];
        inks[3] = 255;
        blackAndCoverage[0] = cmyk[3];
        blackAndCoverage[1] = 255;
        blackAndCoverage[2] = 0;
        blackAndCoverage[3] = 255;
    }
}
