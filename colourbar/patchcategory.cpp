#include "patchcategory.h"

#include <algorithm>
#include <cmath>

namespace {

// Reference files write tone values with a decimal or two; closer than this is equal.
bool same(double a, double b)
{
    return std::abs(a - b) < 0.005;
}

int countOf(const std::array<double, 4> &tones, double value)
{
    return int(std::count_if(tones.begin(), tones.end(), [value](double tone) { return same(tone, value); }));
}

} // namespace

bool needsTones(Coverage coverage)
{
    return coverage != Coverage::All && coverage != Coverage::Listed;
}

bool inCategory(Coverage coverage, const std::array<double, 4> &tones)
{
    const int solidInks = countOf(tones, 100.0);
    const int blankInks = countOf(tones, 0.0);
    switch (coverage) {
    case Coverage::All:
        return true;
    case Coverage::Listed:
        return false;
    case Coverage::Paper:
        return blankInks == 4;
    case Coverage::Solids:
        return solidInks == 1 && blankInks == 3;
    case Coverage::Overprints:
        return solidInks >= 2 && solidInks + blankInks == 4;
    case Coverage::Greys:
        return same(tones[0], tones[1]) && same(tones[1], tones[2]) && !same(tones[0], 0.0) && same(tones[3], 0.0);
    }
    return false;
}
