#pragma once

#include <QRect>

#include "patch.h"

// The pixels a patch covers on a picture: its rectangle cut to the picture,
// and for an ellipse only the pixels whose centres lie inside (or on) the
// ellipse inscribed in the patch's whole rectangle, so that cutting a patch
// to the picture never changes the shape of what is left.
class PatchArea
{
public:
    PatchArea(const Patch &patch, const QRect &picture);

    // The patch's rectangle cut to the picture; empty when they do not meet.
    QRect region() const { return cut; }
    // The columns [first, end) of row y (a row of the region) inside the patch; first == end when none.
    void rowSpan(int y, int *first, int *end) const;

private:
    bool insideEllipse(int x, int y) const;

    QRect whole;
    QRect cut;
    bool ellipse;
};
