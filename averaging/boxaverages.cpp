#include "boxaverages.h"

#include "boxrows.h"

using namespace boxrows;

struct BoxAverages::Gathering {
    Gathering(QSize picture, int channelCount, QSize output)
        : plan(makePlan(QRectF(QPointF(0, 0), QSizeF(picture)), output, picture, channelCount, nullptr, 1.0f)),
          rows(size_t(output.height())), block(plan, 0, output.height(), RowSink{nullptr, &rows})
    {
    }

    const Plan plan;
    std::vector<AveragedRow> rows;
    RowBlock block;
    bool abandoned = false;
    // Every row's averages are in, the last ones made when drawn.
    bool finished = false;
};

BoxAverages::BoxAverages(QSize picture, int channelCount, QSize outputSize)
    : picture(picture), channels(channelCount), output(outputSize),
      gathering(std::make_unique<Gathering>(picture, channelCount, outputSize))
{
}

BoxAverages::~BoxAverages() = default;

bool BoxAverages::gatherable(Gathering &gathering, const PixelSources &band)
{
    ByteLayout layout;
    if (band.channelCount >= 4 || !eightBitLayout(band, &layout))
        gathering.abandoned = true;
    return !gathering.abandoned;
}

void BoxAverages::take(const PixelSources &band, int top)
{
    std::lock_guard<std::mutex> lock(gatheringInUse);
    if (gatherable(*gathering, band))
        gathering->block.take(band, top, picture.height(), nullptr);
}

bool BoxAverages::gatherKept(const PixelSources &kept, int rowsKept, int rows)
{
    std::lock_guard<std::mutex> lock(gatheringInUse);
    const int from = gathering->block.nextRow();
    if (gathering->block.done() || from >= rowsKept || !gatherable(*gathering, kept))
        return false;
    // The kept images are as high as the picture; the rows past rowsKept are not written yet.
    gathering->block.take(kept, 0, std::min(rowsKept, from + rows), nullptr);
    return true;
}

bool BoxAverages::complete() const
{
    std::lock_guard<std::mutex> lock(gatheringInUse);
    return !gathering->abandoned && (gathering->finished || gathering->block.done());
}

bool BoxAverages::abandoned() const
{
    std::lock_guard<std::mutex> lock(gatheringInUse);
    return gathering->abandoned;
}

QImage BoxAverages::draw(const PictureRows &rows, cmsHTRANSFORM transform, float inputScale,
                         WorkControl *control) const
{
    std::lock_guard<std::mutex> lock(gatheringInUse);
    Gathering &g = *gathering;
    if (g.abandoned)
        return QImage();
    // The output rows not finished yet are made on all cores, the one begun made anew.
    if (!g.finished && !g.block.done() &&
        !makeRows(g.plan, rows, g.block.nextOutputRow(), output.height(), RowSink{nullptr, &g.rows}, control))
        return QImage();
    g.finished = true;
    QImage image(output, QImage::Format_RGBA8888);
    if (image.isNull())
        return image;
    Plan plan = gathering->plan;
    plan.transform = transform;
    plan.inputScale = inputScale;
    const DisplayRows lines(&image);
    forRowBlocks(output.height(), [&](int first, int end) {
        for (int j = first; j < end && !workCancelled(control); ++j)
            drawRow(plan, gathering->rows[size_t(j)], lines[j]);
    });
    if (workCancelled(control))
        return QImage();
    return image;
}
