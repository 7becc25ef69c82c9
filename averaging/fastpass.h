#pragma once

#include "pixelvalues.h"

#include <lcms2.h>

class WorkControl;

// The same pass as referencePass, with the same displayed bytes, masks,
// count and sums, but fast: rows are read by scanline through exact lookup
// tables, the sums come from level counts, each distinct colour goes
// through Little CMS once, and the work is shared among all cores. Images
// in formats the row readers do not know are converted first, exactly.
// With a control, it reports its progress and stops early when cancelled;
// the result of a cancelled pass is incomplete.
PixelTotals fastPass(const PixelSources &sources, cmsHTRANSFORM displayTransform, float inputScale, QImage *display,
                     WorkControl *control = nullptr);

// The sources with every image the row readers do not know converted,
// exactly, to one they do; the others are shared as they are.
PixelSources readableByRows(const PixelSources &sources);
