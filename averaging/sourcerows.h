#pragma once

#include "pixelrows.h"
#include "pixelvalues.h"

#include <QRgba64>

#include <algorithm>
#include <array>
#include <vector>

// One row of the images a pass reads, as 16-bit channels.
class SourceRows
{
public:
    explicit SourceRows(const PixelSources &sources)
        : s(sources), width(sources.picture.width()), primary(size_t(width)), secondary(size_t(width))
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

    PixelValues values(int x, const std::array<float, 65536> &levels) const
    {
        PixelValues v;
        const QRgba64 a = primary[size_t(x)];
        v.channel[0] = levels[a.red()];
        v.channel[1] = levels[a.green()];
        v.channel[2] = levels[a.blue()];
        if (s.channelCount < 4) {
            v.coverage = float(a.alpha() / 65535.0);
            return v;
        }
        const QRgba64 b = secondary[size_t(x)];
        v.channel[3] = levels[b.red()];
        v.coverage = float(b.green() / 65535.0);
        return v;
    }

    QRgba64 pixel(int x) const { return primary[size_t(x)]; }

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
        *coverage = b.green();
    }

    // The channels the display transform reads, packed into one number.
    quint64 key(int x) const
    {
        const QRgba64 a = primary[size_t(x)];
        const quint64 rgb = (quint64(a.red()) << 32) | (quint64(a.green()) << 16) | a.blue();
        if (s.channelCount < 4)
            return rgb;
        return (rgb << 16) | secondary[size_t(x)].red();
    }

private:
    void readPage(const QImage &page, int y, std::vector<QRgba64> &row)
    {
        std::fill(row.begin(), row.end(), QRgba64::fromRgba64(0));
        if (y >= page.height())
            return;
        std::vector<QRgba64> line(size_t(page.width()));
        readRow64(page, y, line.data());
        std::copy_n(line.begin(), std::min(page.width(), width), row.begin());
    }

    const PixelSources &s;
    int width;
    std::vector<QRgba64> primary;
    std::vector<QRgba64> secondary;
};
