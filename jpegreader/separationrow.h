#pragma once

#include <QtGlobal>

// One row of a four-ink JPEG's samples (C, M, Y, K, a byte each) as the two
// ink images of a separation hold it: inks 1-3 and a full padding byte in
// the first, ink 4 and full coverage in the second (every byte written).
void splitSeparationRow(const uchar *cmyk, int width, uchar *inks, uchar *blackAndCoverage);
