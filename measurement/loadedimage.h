#pragma once

#include "boxaverages.h"
#include "colourprofile.h"
#include "imageattributes.h"
#include "picturerows.h"
#include "pixelvalues.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <memory>

// An image as read from its file: its attributes, the profile that
// describes it (embedded, or the default one for its channel count) and its
// rows. The picture and the ink images of a four-ink separation are kept in
// memory when they fit the budget; rows hands out the picture's rows either way.
struct LoadedImage {
    QSize size;
    std::shared_ptr<const PictureRows> rows;
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
    // The boxes of the picture's first drawing, gathered (most of them) while it was read; null without one.
    std::shared_ptr<const BoxAverages> firstDrawing;

    int numberOfInks() const { return ::numberOfInks(attributes); }
    // Whether the samples are kept in memory, so that single pixels can be read at once.
    bool samplesKept() const { return !picture.isNull(); }
    PixelSources pixelSources() const { return {picture, inkPage1, inkPage2, numberOfInks()}; }
};
