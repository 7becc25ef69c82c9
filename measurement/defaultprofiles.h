#pragma once

#include "colourprofile.h"

#include <QString>

// The profiles assigned to an image that carries none, by its channel count:
// grey, CMYK and n-colour profiles from the resource directory, sRGB built in.

// What the panel says of an image measured through its default profile.
QString defaultProfileText(int numberOfInks);

// The default profile's name in a sentence: "Default CMYK", "sRGB" ...
QString defaultProfileName(int numberOfInks);

// The default profile file for the count; empty for three channels (sRGB is built in).
QString defaultProfileFile(const QString &resourceDir, int numberOfInks);

// The default profile itself; null when its file does not open.
ColourProfile defaultProfile(const QString &resourceDir, int numberOfInks);
