#include "patcharea.h"

#include <algorithm>
#include <cmath>

PatchArea::PatchArea(const Patch &patch, const QRect &picture)
    : whole(patch.rect.normalized()), cut(whole & picture), ellipse(patch.shape == PatchShape::Ellipse)
{
}

// In doubled coordinates, where pixel centres and the ellipse's centre and
// radii are all whole numbers, the test is exact; 128 bits hold the products
// of patches a million pixels wide.
bool PatchArea::insideEllipse(int x, int y) const
{
    const __int128 w = whole.width();
    const __int128 h = whole.height();
    const __int128 dx = 2 * __int128(x) + 1 - 2 * __int128(whole.x()) - w;
    const __int128 dy = 2 * __int128(y) + 1 - 2 * __int128(whole.y()) - h;
    return dx * dx * h * h + dy * dy * w * w <= w * w * h * h;
}

void PatchArea::rowSpan(int y, int *first, int *end) const
{
    *first = cut.left();
    *end = cut.right() + 1;
    if (!ellipse)
        return;
    // A row of an ellipse is one run of pixels around the centre column:
    // estimated, then settled pixel by pixel with the exact test.
    const double centreX = whole.x() + whole.width() / 2.0;
    const double ry = whole.height() / 2.0;
    const double dy = (y + 0.5 - (whole.y() + ry)) / ry;
    const double halfRun = whole.width() / 2.0 * std::sqrt(std::max(0.0, 1.0 - dy * dy));
    int left = int(std::floor(centreX - halfRun));
    while (left > whole.left() && insideEllipse(left - 1, y))
        --left;
    while (left < whole.x() + whole.width() && !insideEllipse(left, y))
        ++left;
    int right = int(std::ceil(centreX + halfRun));
    while (right <= whole.right() && insideEllipse(right, y))
        ++right;
    while (right > left && !insideEllipse(right - 1, y))
        --right;
    *first = std::max(left, cut.left());
    *end = std::max(*first, std::min(right, cut.right() + 1));
}
