#pragma once

#include "picturerows.h"
#include "pixelvalues.h"

class BoxAverages;
class WorkControl;

// What one pass over the bands of a picture gave.
struct BandPassResult {
    PixelTotals totals;
    // The picture's samples kept whole, when asked and within the budget; empty otherwise.
    PixelSources kept;
    // False when the pass was cancelled or a band could not be read.
    bool complete = false;
};

// Reads every band of rows once: counts the unmasked pixels' levels and,
// when keepBudget holds the whole picture's samples, keeps them for later
// work (zoom, pixels under the pointer, parts of the picture); averages,
// when given, gathers the boxes of the picture's first drawing.
BandPassResult passOverBands(const PictureRows &rows, qint64 keepBudget, WorkControl *control,
                             BoxAverages *averages = nullptr);
