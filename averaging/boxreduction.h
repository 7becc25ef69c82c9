#pragma once

#include "picturerows.h"

#include <QImage>
#include <QRectF>
#include <QSize>

#include <lcms2.h>

class WorkControl;

// An area of the picture drawn at an output size. Below 100 % (the output
// smaller than the area) each output pixel is the area average of the source
// pixels its box covers, the pixels cut by the box's edges weighed by the
// part they lie in; above, each output pixel is the one source pixel its
// centre falls in, so that pixels show as blocks. Masked pixels add no colour:
// the colour is the average of the counted part of the box, the alpha the
// counted share of the box's area (parts outside the picture count as
// masked). The average goes through the display transform exactly as one
// pixel does (convertToDisplay), or without a transform is shown as its
// channel levels (pictures below four channels).
class BoxReduction
{
public:
    // transform: from the picture's channels, scaled by inputScale, to TYPE_RGB_FLT; may be null.
    BoxReduction(const PictureRows &rows, cmsHTRANSFORM transform, float inputScale);

    // The area (in image pixels) at outputSize, as a Format_RGBA8888 image;
    // a null image when the work was cancelled or the rows could not be read.
    // The rows are shared among all cores.
    QImage render(const QRectF &area, QSize outputSize, WorkControl *control = nullptr) const;

private:
    const PictureRows &rows;
    cmsHTRANSFORM transform;
    float inputScale;
};
