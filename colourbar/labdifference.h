#pragma once

#include <array>

// How a measured colour differs from its aim, all by Little CMS.
struct LabDifference {
    // ΔE*ab (CIE 1976).
    double dE76 = 0.0;
    // CIEDE2000 with kL = kC = kH = 1.
    double dE00 = 0.0;
    // Measured less reference.
    double dL = 0.0;
    double dC = 0.0;
    // Signed: 2·√(C*₁·C*₂)·sin(Δh/2), with Δh the measured hue angle less
    // the reference's in (−180°, 180°]; positive counter-clockwise of the aim.
    double dH = 0.0;
};

LabDifference labDifference(const std::array<double, 3> &measured, const std::array<double, 3> &reference);
