#pragma once

#include <lcms2.h>

#include <QString>

// A colour-space or PCS signature as a user reads it: "Gray", "RGB", "CMYK",
// "L*a*b*", "XYZ", otherwise its four characters, or its number in hex when
// those are not printable (a damaged or hostile profile).
QString colourSpaceName(cmsUInt32Number signature);
