#pragma once

#include "colourprofile.h"
#include "displayrendering.h"
#include "imageloader.h"

#include <QString>

#include <optional>

class WorkControl;

// Reading an image file and the pass over its pixels, as work that owns all
// it touches: it may run on any thread, and a worker running it may be
// abandoned. MeasuringSession::loadJob() makes one, finishLoad() takes in
// its outcome; a job that is dropped changes nothing.
class LoadJob
{
public:
    void run(WorkControl *control = nullptr);

private:
    friend class MeasuringSession;
    // Without a monitor, only the counts and sums are made, no picture.
    LoadJob(const QString &fileName, const QString &resourceDir, std::optional<ColourProfile> monitor,
            FirstDrawingSize firstDrawing);

    QString fileName;
    QString resourceDir;
    std::optional<ColourProfile> monitor;
    FirstDrawingSize firstDrawing;
    LoadOutcome outcome;
    RenderedDisplay rendered;
};
