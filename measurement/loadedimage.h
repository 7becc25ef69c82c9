#pragma once

#include "colourprofile.h"
#include "imageattributes.h"
#include "pixelvalues.h"

#include <QImage>
#include <QString>
#include <QStringList>

// An image as read from its file: the picture, the ink images of a four-ink
// separation, its attributes and the profile that describes it (embedded, or
// the default one for its channel count).
struct LoadedImage {
    QImage picture;
    QImage inkPage1;
    QImage inkPage2;
    ImageAttributes attributes;
    ColourProfile sourceProfile;
    // Names the source profile: its description, "embedded", or which default was assigned.
    QString sourceProfileText;
    // Fallbacks taken silently while reading, in words.
    QStringList notes;
    // Why there is no profile at all, when the file asks for one that cannot exist.
    QString missingProfileReason;

    int numberOfInks() const { return ::numberOfInks(attributes); }
    PixelSources pixelSources() const { return {picture, inkPage1, inkPage2, numberOfInks()}; }
};
