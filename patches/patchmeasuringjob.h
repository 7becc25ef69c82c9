#pragma once

#include "colourprofile.h"
#include "patch.h"
#include "patchmeasurement.h"
#include "picturerows.h"

#include <QVector>

#include <memory>

class MeasuringSession;
class WorkControl;

// Measuring patches of the session's image under its choices, as work that
// owns all it touches (the pixels, a copy of the measuring profile), so that
// it may run on any thread and be abandoned.
class PatchMeasuringJob
{
public:
    PatchMeasuringJob(const MeasuringSession &session, const QVector<Patch> &patches);

    // Measures the patches in order; stops early when cancelled.
    void run(WorkControl *control = nullptr);
    // One measurement per patch, in their order, once run() has gone to its end.
    const QVector<PatchMeasurement> &measurements() const { return results; }

private:
    // The kept samples, or the file read again for a picture that is not kept.
    std::shared_ptr<const PictureRows> rows;
    int intent;
    QVector<Patch> patches;
    ColourProfile profile;
    // The counts of the whole picture, which its row need not count again.
    PixelTotals pictureTotals;
    QVector<PatchMeasurement> results;
};
