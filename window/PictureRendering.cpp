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

PictureRendering::PictureRendering(std::shared_ptr<const PictureRows> fileRows, const PixelSources &kept,
                                   cmsHPROFILE input, cmsHPROFILE monitor)
    : transform(makeDisplayTransform(input, monitor, fileRows ? fileRows->channelCount() : 0, &scale))
    , convertsNothing(transform && displayConvertsNothing(input, monitor))
    , rows(kept.picture.isNull() ? fileRows : std::make_shared<KeptRows>(drawnSources(kept, bool(transform))))
    , pictureKey(kept.picture.isNull() ? qint64(quintptr(fileRows.get())) : kept.picture.cacheKey())
{
}

QImage PictureRendering::render(const QRectF &area, QSize outputSize, WorkControl *control) const
{
    return BoxReduction(*rows, convertsNothing ? nullptr : transform.get(), scale).render(area, outputSize, control);
}
