#pragma once

#include "pixelvalues.h"

#include <functional>

class WorkControl;

// Decodes band `band` into *decoded with the decoder that belongs to thread
// `thread`; false when the band cannot be decoded.
using BandDecode = std::function<bool(int thread, int band, PixelSources *decoded)>;
using OrderedBandTaker = std::function<void(int band, const PixelSources &decoded)>;

// Decodes bands 0 .. count - 1 on `threads` threads at once and hands them to
// take in their order, on the calling thread. Thread t decodes bands t,
// t + threads, ... and starts its next band only once its last was taken, so
// at most one band per thread is held. False when a band could not be
// decoded or the work was cancelled; no band is taken after that.
bool decodeBandsInOrder(int count, int threads, const BandDecode &decode, const OrderedBandTaker &take,
                        WorkControl *control);
