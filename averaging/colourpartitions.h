#pragma once

#include "levelcounts.h"
#include "pixelvalues.h"

#include <lcms2.h>

class WorkControl;

// Renders the display of any image whose rows can be read, converting each
// distinct colour once, and counts the levels of the counted pixels on the
// way. The pixels are first dealt into partitions by a hash of their colour,
// so that a partition's colours fit a small table in the cache; then each
// partition's distinct colours go through Little CMS in one batch and its
// pixels get their display bytes. Partitions are shared among all cores.
// The image is dealt out in bands of about bandPixels pixels, so that the
// buffers stay small and are reused. display must be a Format_RGBA8888 image
// of the picture's size.
LevelCounts renderByColourPartitions(const PixelSources &sources, cmsHTRANSFORM transform, float inputScale,
                                     QImage *display, WorkControl *control, qint64 bandPixels = qint64(1) << 22);
