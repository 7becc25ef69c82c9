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
                                   cmsHPROFILE input, cmsHPROFILE monitor,
                                   std::shared_ptr<const BoxAverages> gathered)
    : transform(makeDisplayTransform(input, monitor, fileRows ? fileRows->channelCount() : 0, &scale))
    , convertsNothing(transform && displayConvertsNothing(input, monitor))
    , rows(kept.picture.isNull() ? fileRows : std::make_shared<KeptRows>(drawnSources(kept, bool(transform))))
    , pictureKey(kept.picture.isNull() ? qint64(quintptr(fileRows.get())) : kept.picture.cacheKey())
{
    // Averaged from the channels measured: the picture as read, when it is drawn instead, is another.
    if (gathered && gathered->channelCount() == rows->channelCount())
        firstDrawing = std::move(gathered);
}

QImage PictureRendering::render(const QRectF &area, QSize outputSize, WorkControl *control) const
{
    cmsHTRANSFORM drawnThrough = convertsNothing ? nullptr : transform.get();
    if (firstDrawing && area == QRectF(QPointF(0, 0), QSizeF(size())) && outputSize == firstDrawing->outputSize())
        return firstDrawing->draw(*rows, drawnThrough, scale, control);
    return BoxReduction(*rows, drawnThrough, scale).render(area, outputSize, control);
}
