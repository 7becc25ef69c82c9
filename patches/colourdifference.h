#pragma once

#include <lcms2.h>

#include <array>

// CIEDE2000 between two L*a*b* colours with the weights kL = kC = kH = 1, as
// every spread figure and report of patches gives it.
double deltaE2000(const std::array<float, 3> &first, const std::array<float, 3> &second);
double deltaE2000(const cmsCIELab &first, const cmsCIELab &second);
