#include "PictureRendering.h"

#include "boxreduction.h"
#include "displayrendering.h"

namespace {

// The rows drawn: the channels measured, or without a transform the picture
// as read (for a separation its preview, whose levels are colours).
PixelSources drawnSources(const PixelSources &sources, bool converted)
{
    if (converted || sources.channelCount < 4)
        return sources;
    return {sources.picture, {}, {}, 3};
}

} // namespace

PictureRendering::PictureRendering(const PixelSources &sources, cmsHPROFILE input, cmsHPROFILE monitor)
    : transform(makeDisplayTransform(input, monitor, sources.channelCount, &scale)),
      rows(drawnSources(sources, bool(transform))), pictureKey(sources.picture.cacheKey())
{
}

QImage PictureRendering::render(const QRectF &area, QSize outputSize, WorkControl *control) const
{
    return BoxReduction(rows, transform.get(), scale).render(area, outputSize, control);
}
