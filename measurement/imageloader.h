#pragma once

#include "failure.h"
#include "loadedimage.h"

#include <QSize>
#include <QString>

#include <functional>

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
    // The counts and sums of the unmasked pixels, once every row was read.
    PixelTotals totals;
};

// Whether a load keeps the picture's samples in memory for later work, or
// reads the file again when it needs them.
enum class SampleKeeping { WithinBudget, None };

// The size in device pixels at which the view will first draw a picture of
// the given size, the whole picture fitted to it; empty when not known.
using FirstDrawingSize = std::function<QSize(QSize picture)>;

// Reads fileName: its attributes ("Description" text), its embedded profile
// or the default one from resourceDir, then every row once in bands for the
// totals, keeping the picture (and for four inks the two ink images) as
// keeping says. Refuses anything but a regular file before opening it, more
// than four inks, CIELab images, separations without ink images and files
// whose rows cannot be read to the end. Given firstDrawing, the pass also
// gathers the boxes of that drawing, when it shrinks the picture.
LoadOutcome loadImageFile(const QString &fileName, const QString &resourceDir, WorkControl *control = nullptr,
                          SampleKeeping keeping = SampleKeeping::WithinBudget,
                          const FirstDrawingSize &firstDrawing = {});
