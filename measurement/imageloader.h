#pragma once

#include "failure.h"
#include "loadedimage.h"

#include <QString>

class WorkControl;

// What reading an image file gave. How far it got decides what it replaces:
// nothing when no reader takes the file; the images in force once a reader
// takes it; everything once its picture is decoded, even when the image is
// then refused.
struct LoadOutcome {
    enum class Reach { NoReader, ReaderFound, PictureDecoded };

    Reach reach = Reach::NoReader;
    Failure failure;
    LoadedImage image;
};

// Reads fileName: the picture, its attributes ("Description" text), its
// embedded profile or the default one from resourceDir, and for four inks
// the two ink images. Refuses anything but a regular file before opening it,
// more than four inks, CIELab images and separations whose ink images are
// missing or too small.
LoadOutcome loadImageFile(const QString &fileName, const QString &resourceDir, WorkControl *control = nullptr);
