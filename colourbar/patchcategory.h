#pragma once

#include "toleranceset.h"

#include <array>

// Whether a patch printed with tones (C, M, Y, K in per cent) belongs to a
// category of a tolerance rule: paper (no ink), solids (one ink at 100 %, the
// others 0), overprints (two or more inks at 100 %, the others 0) or CMY
// greys (C = M = Y above 0, K = 0). All holds every patch; Listed none here.
bool inCategory(Coverage coverage, const std::array<double, 4> &tones);

// Whether the coverage is found through tone values.
bool needsTones(Coverage coverage);
