#pragma once

#include "boxaverages.h"
#include "lcmshandles.h"
#include "picturerows.h"
#include "pixelvalues.h"

#include <QImage>
#include <QRectF>
#include <QSize>

#include <memory>

#include <lcms2.h>

class WorkControl;

// What the view draws the picture from: the measured picture's samples and
// the transform to the monitor, made as the display rendering makes it (the
// profile the picture is shown through to the monitor, relative colorimetric,
// float). Without a transform the picture is shown as read. It changes no
// more once made, so renderings of it may run on any thread; a worker shares
// its ownership.
class PictureRendering
{
public:
    // The picture is drawn from its kept samples, or from rows read again
    // when it is not kept; the whole of it at the size of gathered (may be
    // null) from those averages. input: the profile the picture is shown
    // through; either profile may be null.
    PictureRendering(std::shared_ptr<const PictureRows> fileRows, const PixelSources &kept, cmsHPROFILE input,
                     cmsHPROFILE monitor, std::shared_ptr<const BoxAverages> gathered = nullptr);

    QSize size() const { return rows->size(); }
    // Whether other draws the same picture (through another transform, say).
    bool samePicture(const PictureRendering &other) const { return pictureKey == other.pictureKey; }
    bool converted() const { return bool(transform); }
    float inputScale() const { return scale; }

    // area (image pixels) at outputSize, as BoxReduction draws it: Format_RGBA8888,
    // a null image when cancelled.
    QImage render(const QRectF &area, QSize outputSize, WorkControl *control = nullptr) const;

private:
    // Before the transform: making the transform sets it.
    float scale = 1.0f;
    TransformHandle transform;
    // Shown through the monitor's own profile: the samples are the monitor's levels.
    bool convertsNothing;
    std::shared_ptr<const PictureRows> rows;
    std::shared_ptr<const BoxAverages> firstDrawing;
    qint64 pictureKey;
};
