#pragma once

#include "pixelvalues.h"

#include <lcms2.h>

// The same pass as referencePass, with the same displayed bytes, masks,
// count and sums (added in the same order), but fast: rows are read by
// scanline through exact lookup tables, each distinct colour goes through
// Little CMS once, in batches, and the rows are shared among all cores.
// Images in formats it cannot read by scanline take the reference road.
PixelTotals fastPass(const PixelSources &sources, cmsHTRANSFORM displayTransform, float inputScale, QImage *display);
