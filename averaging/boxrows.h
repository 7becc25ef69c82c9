#pragma once

// The parts of drawing an area of a picture at an output size: the boxes of
// the output pixels, and the blocks of output rows made from source rows as
// they arrive in bands. Shared by BoxReduction, which reads the rows itself,
// and BoxAverages, which is handed a pass's bands.

#include "bytelayout.h"
#include "displaybytes.h"
#include "displayconversion.h"
#include "parallel.h"
#include "picturerows.h"
#include "sourcerows.h"
#include "workcontrol.h"

#include <QRectF>
#include <QSize>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

#include <lcms2.h>

namespace boxrows {

// The source pixels one output pixel takes along one axis: weights[k] is the
// length of source pixel first + k inside the box; none when the box lies
// outside the picture.
struct AxisBox {
    int first = 0;
    std::vector<double> weights;
    double length = 1.0;

    int end() const { return first + int(weights.size()); }
    bool sameSource(const AxisBox &other) const { return first == other.first && weights == other.weights; }
};

// The boxes of outputs pixels over [start, start + length) of an axis whose
// source pixels are 0 .. sourceCount - 1. As blocks, each output pixel takes
// the one source pixel its centre falls in, with the weight of a whole pixel.
inline std::vector<AxisBox> axisBoxes(double start, double length, int outputs, int sourceCount, bool blocks)
{
    std::vector<AxisBox> boxes(static_cast<size_t>(outputs));
    for (int i = 0; i < outputs; ++i) {
        AxisBox &box = boxes[size_t(i)];
        if (blocks) {
            box.first = int(std::floor(start + (i + 0.5) * length / outputs));
            if (box.first >= 0 && box.first < sourceCount)
                box.weights = {1.0};
            continue;
        }
        const double from = start + length * i / outputs;
        const double to = start + length * (i + 1) / outputs;
        box.length = to - from;
        box.first = std::max(0, int(std::floor(from)));
        for (int c = box.first; c < std::min(sourceCount, int(std::ceil(to))); ++c)
            box.weights.push_back(std::min(c + 1.0, to) - std::max(double(c), from));
    }
    return boxes;
}

// Per output column: the weighted sums of the four channels and the counted weight.
constexpr size_t sumsPerColumn = 5;

struct Plan {
    std::vector<AxisBox> columns;
    std::vector<AxisBox> rows;
    bool blocks = false;
    // The source columns any box takes.
    int sourceLeft = 0;
    int sourceEnd = 0;
    int channelCount = 0;
    cmsHTRANSFORM transform = nullptr;
    float inputScale = 1.0f;
};

// The boxes of area drawn at outputSize from a picture of that size; below
// 100 % in either direction as area averages, else as blocks.
inline Plan makePlan(const QRectF &area, QSize outputSize, QSize picture, int channelCount, cmsHTRANSFORM transform,
                     float inputScale)
{
    Plan plan;
    plan.blocks = outputSize.width() >= area.width() && outputSize.height() >= area.height();
    plan.columns = axisBoxes(area.x(), area.width(), outputSize.width(), picture.width(), plan.blocks);
    plan.rows = axisBoxes(area.y(), area.height(), outputSize.height(), picture.height(), plan.blocks);
    plan.sourceLeft = picture.width();
    for (const AxisBox &box : plan.columns)
        if (!box.weights.empty()) {
            plan.sourceLeft = std::min(plan.sourceLeft, box.first);
            plan.sourceEnd = std::max(plan.sourceEnd, box.end());
        }
    plan.sourceEnd = std::max(plan.sourceEnd, plan.sourceLeft);
    plan.channelCount = channelCount;
    plan.transform = transform;
    plan.inputScale = inputScale;
    return plan;
}

inline int bandHeight(const PixelSources &band)
{
    if (band.channelCount < 4)
        return band.picture.height();
    return std::max({band.picture.height(), band.inkPage1.height(), band.inkPage2.height()});
}

// A row of 8-bit colour pixels (below four channels) read straight from its bytes.
struct ColourBytes {
    const uchar *row;
    const ByteLayout &layout;
    int channelCount;

    // The pixel's channels; false when it is masked.
    bool read(int x, int channel[4]) const
    {
        const int coverage = readColourPixel(row, x, layout, channel);
        return pixelMask(channel, coverage, channelCount, 255, 255) == PixelMask::Counted;
    }

    // Pixel x, weighed, added to the sums of a box (channels, then the counted weight).
    void add(int x, double weight, double *column) const
    {
        int channel[4];
        if (!read(x, channel))
            return;
        for (size_t c = 0; c < 3; ++c)
            column[c] += weight * channel[c];
        column[4] += weight;
    }

    // The whole pixels [first, end), summed as integers.
    void addWhole(int first, int end, double *column) const
    {
        qint64 whole[4] = {0, 0, 0, 0};
        for (int x = first; x < end; ++x) {
            int channel[4];
            if (!read(x, channel))
                continue;
            whole[0] += channel[0];
            whole[1] += channel[1];
            whole[2] += channel[2];
            ++whole[3];
        }
        for (size_t c = 0; c < 3; ++c)
            column[c] += double(whole[c]);
        column[4] += double(whole[3]);
    }
};

// 8-bit colour rows added up pixel by pixel: per pixel the sums of the
// counted pixels' three channels and their number, from the plan's first source column.
struct WholeRows {
    std::vector<quint32> sums;
    int left = 0;
    bool added = false;

    void add(int x, double weight, double *column) const
    {
        const quint32 *pixel = sums.data() + size_t(x - left) * 4;
        for (size_t c = 0; c < 3; ++c)
            column[c] += weight * pixel[c];
        column[4] += weight * pixel[3];
    }

    void addWhole(int first, int end, double *column) const
    {
        quint64 whole[4] = {0, 0, 0, 0};
        for (const quint32 *pixel = sums.data() + size_t(first - left) * 4; first < end; ++first, pixel += 4)
            for (size_t c = 0; c < 4; ++c)
                whole[c] += pixel[c];
        for (size_t c = 0; c < 3; ++c)
            column[c] += double(whole[c]);
        column[4] += double(whole[3]);
    }
};

// An output row's boxes before their conversion for the display: the boxes
// shown (with counted pixels; as blocks, the first of equal boxes), the
// average of each one's channels and its alpha, the counted share of its area.
struct AveragedRow {
    std::vector<quint32> shown;
    std::vector<float> averages;
    std::vector<uchar> alphas;
};

inline AveragedRow averageRow(const Plan &plan, const std::vector<double> &sums, double rowLength)
{
    AveragedRow row;
    for (size_t i = 0; i < plan.columns.size(); ++i) {
        const double *column = sums.data() + i * sumsPerColumn;
        if (column[4] <= 0.0 || (plan.blocks && i > 0 && plan.columns[i].sameSource(plan.columns[i - 1])))
            continue;
        row.shown.push_back(quint32(i));
        for (size_t c = 0; c < 4; ++c)
            row.averages.push_back(float(column[c] / column[4]));
        const double share = column[4] / (plan.columns[i].length * rowLength);
        row.alphas.push_back(uchar(std::lround(std::min(share, 1.0) * 255.0)));
    }
    return row;
}

// Monitor levels of colours given as four channel values each, in one call of the transform.
inline std::vector<float> displayLevels(const Plan &plan, const std::vector<float> &averages)
{
    const size_t count = averages.size() / 4;
    std::vector<float> rgb(count * 3);
    if (!plan.transform) {
        for (size_t n = 0; n < count; ++n)
            for (size_t c = 0; c < 3; ++c)
                rgb[n * 3 + c] = averages[n * 4 + c];
        return rgb;
    }
    // The channels the transform reads, scaled as convertToDisplay scales them.
    const size_t perColour = T_CHANNELS(cmsGetTransformInputFormat(plan.transform));
    std::vector<float> input(count * perColour);
    for (size_t n = 0; n < count; ++n)
        for (size_t c = 0; c < perColour; ++c)
            input[n * perColour + c] = averages[n * 4 + c] * plan.inputScale;
    if (count > 0)
        cmsDoTransform(plan.transform, input.data(), rgb.data(), cmsUInt32Number(count));
    for (float &level : rgb)
        level = toDisplayLevel(level);
    return rgb;
}

inline quint32 withAlpha(quint32 opaque, uchar alpha)
{
    uchar bytes[4];
    std::memcpy(bytes, &opaque, 4);
    bytes[3] = alpha;
    std::memcpy(&opaque, bytes, 4);
    return opaque;
}

// The row's colours converted for the display, as display bytes; boxes with no counted pixel are transparent.
inline void drawRow(const Plan &plan, const AveragedRow &row, quint32 *line)
{
    std::fill_n(line, plan.columns.size(), 0u);
    const std::vector<float> rgb = displayLevels(plan, row.averages);
    for (size_t n = 0; n < row.shown.size(); ++n)
        line[row.shown[n]] = withAlpha(opaqueDisplayBytes(&rgb[n * 3]), row.alphas[n]);
    if (plan.blocks)
        for (size_t i = 1; i < plan.columns.size(); ++i)
            if (plan.columns[i].sameSource(plan.columns[i - 1]))
                line[i] = line[i - 1];
}

// Where a block's finished output rows go: drawn into display rows, or kept
// averaged (one AveragedRow per output row) for a conversion later.
struct RowSink {
    const DisplayRows *display = nullptr;
    std::vector<AveragedRow> *averaged = nullptr;
};

// The output rows [first, end) of a rendering, made from source rows as they arrive in bands.
class RowBlock
{
public:
    RowBlock(const Plan &plan, int first, int end, RowSink sink)
        : plan(plan), first(first), next(first), end(end), sink(sink), levels(levelsFor(plan.channelCount)),
          values(size_t(plan.sourceEnd - plan.sourceLeft) * 4), counted(size_t(plan.sourceEnd - plan.sourceLeft))
    {
        for (size_t byte = 0; byte < byteLevels.size(); ++byte)
            byteLevels[byte] = levels[byte * 257];
        wholeRows.left = plan.sourceLeft;
        skipOutsideRows();
        // A band that starts above the block's first box is read from that box on.
        nextSourceRow = sourceRows().first;
    }

    // The source rows the block needs, [top, bottom); empty when it lies outside the picture.
    std::pair<int, int> sourceRows() const
    {
        int top = INT_MAX, bottom = INT_MIN;
        for (int j = first; j < end; ++j) {
            const AxisBox &box = plan.rows[size_t(j)];
            if (box.weights.empty())
                continue;
            top = std::min(top, box.first);
            bottom = std::max(bottom, box.end());
        }
        return top < bottom ? std::make_pair(top, bottom) : std::make_pair(0, 0);
    }

    void take(const PixelSources &band, int bandTop, int sourceEnd, WorkControl *control)
    {
        SourceRows reader(band);
        ByteLayout layout;
        const bool eightBit = eightBitLayout(band, &layout);
        const int bandEnd = std::min(sourceEnd, bandTop + bandHeight(band));
        for (int y = std::max(nextSourceRow, bandTop); y < bandEnd && next < end; ++y) {
            if (workCancelled(control))
                return;
            if (eightBit && plan.channelCount < 4 && wholeInNextBox(y)) {
                addWholeRow(band, layout, y - bandTop);
            } else if (eightBit && plan.channelCount < 4) {
                sumColourColumns(ColourBytes{band.picture.constScanLine(y - bandTop), layout, plan.channelCount},
                                 &reduced[y]);
            } else {
                if (eightBit) {
                    readInkBytes(band, layout, y - bandTop);
                } else {
                    reader.read(y - bandTop);
                    readLevels(reader);
                }
                sumColumns(&reduced[y]);
            }
            nextSourceRow = y + 1;
            finishCompleteRows();
        }
    }

    bool done() const { return next >= end; }
    // The first source row not taken yet, and the first output row not finished.
    int nextRow() const { return nextSourceRow; }
    int nextOutputRow() const { return next; }

private:
    void skipOutsideRows()
    {
        while (next < end && plan.rows[size_t(next)].weights.empty())
            ++next;
    }

    // The values and the mask of the row's pixels the boxes take.
    void readLevels(const SourceRows &reader)
    {
        for (int x = plan.sourceLeft; x < plan.sourceEnd; ++x) {
            quint16 channels[4], coverage;
            reader.levels(x, channels, &coverage);
            const size_t at = size_t(x - plan.sourceLeft);
            counted[at] = countedLevels(channels, coverage, plan.channelCount);
            for (size_t c = 0; c < 4; ++c)
                values[at * 4 + c] = levels[channels[c]];
        }
    }

    // The same from the bytes of four inks in two 8-bit pages, whose level is the byte times 257.
    void readInkBytes(const PixelSources &band, const ByteLayout &layout, int y)
    {
        const uchar *first = band.inkPage1.constScanLine(y);
        const uchar *second = band.inkPage2.constScanLine(y);
        for (int x = plan.sourceLeft; x < plan.sourceEnd; ++x) {
            const uchar *inks = first + 4 * x;
            const uchar *rest = second + x * layout.bytesPerPixel;
            const int channel[4] = {inks[0], inks[1], inks[2], rest[0]};
            const int coverage = layout.coverageOffset >= 0 ? rest[layout.coverageOffset] : 255;
            const size_t at = size_t(x - plan.sourceLeft);
            counted[at] = pixelMask(channel, coverage, plan.channelCount, 255, 255) == PixelMask::Counted;
            float *value = &values[at * 4];
            for (size_t c = 0; c < 4; ++c)
                value[c] = byteLevels[size_t(channel[c])];
        }
    }

    // sumColumns for colour channels, whose level is the byte itself (the level table
    // holds 8-bit colour levels exactly): the pixels a box covers whole are summed as
    // integers, exactly; only those its edges cut are weighed. row: ColourBytes or WholeRows.
    template <typename Row>
    void sumColourColumns(const Row &row, std::vector<double> *sums) const
    {
        sums->resize(plan.columns.size() * sumsPerColumn);
        for (size_t i = 0; i < plan.columns.size(); ++i) {
            const AxisBox &box = plan.columns[i];
            double *column = sums->data() + i * sumsPerColumn;
            std::fill_n(column, sumsPerColumn, 0.0);
            size_t from = 0, to = box.weights.size();
            if (from < to && box.weights[from] != 1.0) {
                row.add(box.first, box.weights[from], column);
                ++from;
            }
            const bool cutRight = from < to && box.weights[to - 1] != 1.0;
            row.addWhole(box.first + int(from), box.first + int(cutRight ? to - 1 : to), column);
            if (cutRight)
                row.add(box.first + int(to - 1), box.weights[to - 1], column);
        }
    }

    // Whether source row y lies whole in the box of the next output row, and so in
    // no other box: such rows are added up pixel by pixel as integers, and the
    // boxes' columns are summed once over all of them.
    bool wholeInNextBox(int y) const
    {
        if (plan.blocks || next >= end)
            return false;
        const AxisBox &box = plan.rows[size_t(next)];
        const size_t k = size_t(y - box.first);
        // Past 2^24 rows the 32-bit sums could overflow.
        return y >= box.first && k < box.weights.size() && box.weights[k] == 1.0 && box.weights.size() < (1u << 24);
    }

    void addWholeRow(const PixelSources &band, const ByteLayout &layout, int y)
    {
        const int left = plan.sourceLeft;
        const int count = plan.sourceEnd - left;
        const int channelCount = plan.channelCount;
        wholeRows.sums.resize(size_t(count) * 4);
        const uchar *row = band.picture.constScanLine(y);
        // In locals, so that the compiler need not read them again after every store to the sums.
        quint32 *sum = wholeRows.sums.data();
        withColourLayout(layout, [=](auto colourLayout) {
            using Layout = decltype(colourLayout);
            for (int i = 0; i < count; ++i) {
                int channel[4];
                const quint32 taken = Layout::read(row, left + i, channelCount, channel);
                sum[4 * i] += quint32(channel[0]) * taken;
                sum[4 * i + 1] += quint32(channel[1]) * taken;
                sum[4 * i + 2] += quint32(channel[2]) * taken;
                sum[4 * i + 3] += taken;
            }
        });
        wholeRows.added = true;
    }

    // The sums of each output column's box over the row just read.
    void sumColumns(std::vector<double> *sums)
    {
        sums->resize(plan.columns.size() * sumsPerColumn);
        for (size_t i = 0; i < plan.columns.size(); ++i) {
            const AxisBox &box = plan.columns[i];
            // Summed in locals, which the compiler keeps in registers; the order of the additions is the same.
            double column[sumsPerColumn] = {};
            for (size_t k = 0; k < box.weights.size(); ++k) {
                const size_t at = size_t(box.first - plan.sourceLeft) + k;
                if (!counted[at])
                    continue;
                for (size_t c = 0; c < 4; ++c)
                    column[c] += box.weights[k] * values[at * 4 + c];
                column[4] += box.weights[k];
            }
            std::copy_n(column, sumsPerColumn, sums->data() + i * sumsPerColumn);
        }
    }

    void finishCompleteRows()
    {
        while (next < end && plan.rows[size_t(next)].end() <= nextSourceRow) {
            finishRow(next);
            ++next;
            skipOutsideRows();
            // Rows above the next box are no longer needed.
            const int needed = next < end ? plan.rows[size_t(next)].first : nextSourceRow;
            reduced.erase(reduced.begin(), reduced.lower_bound(needed));
        }
    }

    void finishRow(int j)
    {
        const AxisBox &rowBox = plan.rows[size_t(j)];
        // A block row that takes the same source row as the one above looks the same.
        if (plan.blocks && j > first && rowBox.sameSource(plan.rows[size_t(j - 1)])) {
            if (sink.averaged)
                (*sink.averaged)[size_t(j)] = (*sink.averaged)[size_t(j - 1)];
            else
                std::memcpy((*sink.display)[j], (*sink.display)[j - 1], plan.columns.size() * sizeof(quint32));
            return;
        }
        std::vector<double> sums(plan.columns.size() * sumsPerColumn, 0.0);
        for (size_t k = 0; k < rowBox.weights.size(); ++k) {
            // Rows that lie whole in the box are in wholeRows instead.
            const auto found = reduced.find(rowBox.first + int(k));
            if (found != reduced.end())
                addWeighed(found->second, rowBox.weights[k], &sums);
        }
        if (wholeRows.added) {
            std::vector<double> whole;
            sumColourColumns(wholeRows, &whole);
            addWeighed(whole, 1.0, &sums);
            std::fill(wholeRows.sums.begin(), wholeRows.sums.end(), 0u);
            wholeRows.added = false;
        }
        AveragedRow averaged = averageRow(plan, sums, rowBox.length);
        if (sink.averaged)
            (*sink.averaged)[size_t(j)] = std::move(averaged);
        else
            drawRow(plan, averaged, (*sink.display)[j]);
    }

    static void addWeighed(const std::vector<double> &rowSums, double weight, std::vector<double> *sums)
    {
        // In locals: the compiler cannot tell that the sums do not overlap the weights.
        const double *row = rowSums.data();
        double *sum = sums->data();
        for (size_t n = 0; n < sums->size(); ++n)
            sum[n] += weight * row[n];
    }

    const Plan &plan;
    int first;
    int next;
    int end;
    int nextSourceRow = 0;
    RowSink sink;
    const std::array<float, 65536> &levels;
    // The levels of 8-bit values, in a table that stays in the fastest cache.
    std::array<float, 256> byteLevels;
    // The record's values of the row's pixels, as the level table holds them.
    std::vector<float> values;
    std::vector<char> counted;
    // The column sums of source rows still needed, by source row.
    std::map<int, std::vector<double>> reduced;
    // The 8-bit colour rows that lie whole in the next output row's box, added up.
    WholeRows wholeRows;
};

// Output rows [firstRow, endRow) of plan, made into sink from rows read on
// all cores, a block of output rows each; false when a read failed or the
// work was cancelled.
inline bool makeRows(const Plan &plan, const PictureRows &rows, int firstRow, int endRow, RowSink sink,
                     WorkControl *control)
{
    std::atomic<bool> failed{false};
    forRowBlocks(endRow - firstRow, [&](int first, int end) {
        RowBlock block(plan, firstRow + first, firstRow + end, sink);
        // Plain names: a lambda may not capture a structured binding in C++17.
        const auto span = block.sourceRows();
        const int sourceFirst = span.first;
        const int sourceEnd = span.second;
        if (block.done() || sourceFirst >= sourceEnd)
            return;
        const bool read = rows.read(
            sourceFirst, sourceEnd,
            [&](const PixelSources &band, int bandTop) { block.take(band, bandTop, sourceEnd, control); }, control);
        if (!read || !block.done())
            failed = true;
    });
    return !failed && !workCancelled(control);
}

} // namespace boxrows
