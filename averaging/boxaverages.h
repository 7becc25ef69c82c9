#pragma once

#include "picturerows.h"
#include "pixelvalues.h"

#include <QImage>
#include <QSize>

#include <memory>
#include <mutex>

#include <lcms2.h>

class WorkControl;

// The whole picture reduced to one output size (smaller than the picture),
// its boxes' averages gathered from the rows of a pass as it reads them, top
// to bottom, on one thread, and converted for the display only when drawn,
// with the transform of that moment. Drawn, they are what
// BoxReduction::render gives for the picture's rectangle at that size; so
// the picture first shown after a load needs no second reading of most of
// its pixels. Only 8-bit colour (below four channels) is cheap enough to
// gather beside the counting; at any other band the gathering stops for good.
class BoxAverages
{
public:
    BoxAverages(QSize picture, int channelCount, QSize outputSize);
    ~BoxAverages();
    BoxAverages(const BoxAverages &) = delete;
    BoxAverages &operator=(const BoxAverages &) = delete;

    // Gathers from the band whose row 0 is the picture's row top.
    void take(const PixelSources &band, int top);
    // Gathers at most rows more from the picture's samples kept so far, whose
    // first rowsKept rows are written; false when there is nothing to gather.
    bool gatherKept(const PixelSources &kept, int rowsKept, int rows);
    // Whether every row was gathered; whether the gathering stopped for good.
    bool complete() const;
    bool abandoned() const;
    QSize outputSize() const { return output; }
    int channelCount() const { return channels; }

    // As BoxReduction::render draws it (Format_RGBA8888): the rows not
    // gathered yet are read from rows first. transform: from the channels,
    // scaled by inputScale, to TYPE_RGB_FLT; null shows the averages as
    // levels. A null image when cancelled, abandoned or not readable.
    QImage draw(const PictureRows &rows, cmsHTRANSFORM transform, float inputScale,
                WorkControl *control = nullptr) const;

private:
    struct Gathering;

    static bool gatherable(Gathering &gathering, const PixelSources &band);

    QSize picture;
    int channels;
    QSize output;
    // Drawing may finish the gathering, from any thread.
    mutable std::mutex gatheringInUse;
    std::unique_ptr<Gathering> gathering;
};
