#pragma once

#include "pixelrows.h"
#include "pixelvalues.h"

#include <QRgba64>

#include <algorithm>
#include <vector>

// One row of the images a pass reads, as 16-bit channels.
class SourceRows
{
public:
    explicit SourceRows(const PixelSources &sources)
        : s(sources), width(sources.picture.width()), primary(size_t(width)), secondary(size_t(width)),
          blackAlone(sources.inkPage2.format() == QImage::Format_Grayscale8)
    {
    }

    // Channel values (16-bit levels) of row y; pages that lack the row or part of it read as zero.
    void read(int y)
    {
        if (s.channelCount < 4) {
            readRow64(s.picture, y, primary.data());
            return;
        }
        readPage(s.inkPage1, y, primary);
        readPage(s.inkPage2, y, secondary);
    }

    // The 16-bit levels of channels 0 to 3 (channel 3 is 0 below four
    // channels) and of the coverage.
    void levels(int x, quint16 channels[4], quint16 *coverage) const
    {
        const QRgba64 a = primary[size_t(x)];
        channels[0] = a.red();
        channels[1] = a.green();
        channels[2] = a.blue();
        if (s.channelCount < 4) {
            channels[3] = 0;
            *coverage = a.alpha();
            return;
        }
        const QRgba64 b = secondary[size_t(x)];
        channels[3] = b.red();
        // A grey page reads with full alpha; a pixel it lacks with none.
        *coverage = blackAlone ? b.alpha() : b.green();
    }

private:
    void readPage(const QImage &page, int y, std::vector<QRgba64> &row)
    {
        if (y >= page.height()) {
            std::fill(row.begin(), row.end(), QRgba64::fromRgba64(0));
            return;
        }
        // A page as wide as the picture is read in place; others through the spare line.
        if (page.width() == width) {
            readRow64(page, y, row.data());
            return;
        }
        std::fill(row.begin(), row.end(), QRgba64::fromRgba64(0));
        spare.resize(size_t(page.width()));
        readRow64(page, y, spare.data());
        std::copy_n(spare.begin(), std::min(page.width(), width), row.begin());
    }

    const PixelSources &s;
    int width;
    std::vector<QRgba64> primary;
    std::vector<QRgba64> secondary;
    std::vector<QRgba64> spare;
    bool blackAlone;
};
