#pragma once

#include "patch.h"
#include "patchmeasurement.h"

// One row of a patch table: a patch and what measuring it gave.
struct PatchRow {
    Patch patch;
    PatchMeasurement measurement;

    // The rectangle the numbers were taken over: the patch cut to the
    // picture, or the patch itself when nothing of it is on the picture.
    QRect shownRect() const { return measurement.region.isEmpty() ? patch.rect : measurement.region; }
};
