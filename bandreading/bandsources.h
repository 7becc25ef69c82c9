#pragma once

#include "pixelvalues.h"

// The band a pass reads for the images a reader decoded: a separation's ink
// images are measured as such with four channels, and seen through their
// preview with fewer; any other picture is itself.
PixelSources bandSources(const QImage &picture, const QImage &inks, const QImage &blackAndCoverage, int channelCount);
