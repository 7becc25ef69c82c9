#pragma once

#include "colourprofile.h"
#include "imageattributes.h"

// Which colour space a profile loaded by hand must have to describe an image.

// The colour space a photometric code stands for: 1 grey, 2 RGB, 5 CMYK,
// any other code L*a*b*.
cmsUInt32Number colourSpaceForPhotometric(int photometric);

// By the image's "Photometric" attribute; an image without one (an ordinary
// JPEG) by its channel count: 1 grey, 3 RGB, 4 CMYK, other counts L*a*b*.
cmsUInt32Number expectedColourSpace(const ImageAttributes &attributes);

// Why candidate cannot describe the image, in words; empty when it can: its
// colour space must be the expected one and its connection space XYZ or L*a*b*.
QString profileMismatch(const ImageAttributes &attributes, const ColourProfile &candidate);
