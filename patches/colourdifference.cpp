#include "colourdifference.h"

double deltaE2000(const cmsCIELab &first, const cmsCIELab &second)
{
    return cmsCIE2000DeltaE(&first, &second, 1.0, 1.0, 1.0);
}

double deltaE2000(const std::array<float, 3> &first, const std::array<float, 3> &second)
{
    const cmsCIELab a{double(first[0]), double(first[1]), double(first[2])};
    const cmsCIELab b{double(second[0]), double(second[1]), double(second[2])};
    return deltaE2000(a, b);
}
