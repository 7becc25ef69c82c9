#include "boxreduction.h"

#include "boxrows.h"

using namespace boxrows;

BoxReduction::BoxReduction(const PictureRows &rows, cmsHTRANSFORM transform, float inputScale)
    : rows(rows), transform(transform), inputScale(inputScale)
{
}

QImage BoxReduction::render(const QRectF &area, QSize outputSize, WorkControl *control) const
{
    if (outputSize.isEmpty() || area.isEmpty())
        return QImage();
    QImage image(outputSize, QImage::Format_RGBA8888);
    if (image.isNull())
        return image;
    image.fill(Qt::transparent);
    const Plan plan = makePlan(area, outputSize, rows.size(), rows.channelCount(), transform, inputScale);
    const DisplayRows output(&image);
    if (!makeRows(plan, rows, 0, outputSize.height(), RowSink{&output, nullptr}, control))
        return QImage();
    return image;
}
