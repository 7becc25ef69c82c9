#include "labdifference.h"

#include "colourdifference.h"

#include <lcms2.h>

#include <cmath>

LabDifference labDifference(const std::array<double, 3> &measured, const std::array<double, 3> &reference)
{
    const cmsCIELab sample{measured[0], measured[1], measured[2]};
    const cmsCIELab aim{reference[0], reference[1], reference[2]};
    cmsCIELCh sampleLch;
    cmsCIELCh aimLch;
    cmsLab2LCh(&sampleLch, &sample);
    cmsLab2LCh(&aimLch, &aim);
    double hueAngle = sampleLch.h - aimLch.h;
    if (hueAngle > 180.0)
        hueAngle -= 360.0;
    else if (hueAngle <= -180.0)
        hueAngle += 360.0;
    const double degrees = M_PI / 180.0;

    LabDifference difference;
    difference.dE76 = cmsDeltaE(&sample, &aim);
    difference.dE00 = deltaE2000(sample, aim);
    difference.dL = sampleLch.L - aimLch.L;
    difference.dC = sampleLch.C - aimLch.C;
    difference.dH = 2.0 * std::sqrt(sampleLch.C * aimLch.C) * std::sin(hueAngle * degrees / 2.0);
    return difference;
}
