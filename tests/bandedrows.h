#pragma once

#include "picturerows.h"

#include <algorithm>

// Pictures kept in memory, handed out in bands of a chosen height, as a file
// read in bands hands them out.
class BandedRows : public PictureRows
{
public:
    BandedRows(PixelSources sources, int bandRows) : sources(std::move(sources)), bandRows(bandRows) {}
    QSize size() const override { return sources.picture.size(); }
    int channelCount() const override { return sources.channelCount; }
    bool read(int first, int end, const BandTaker &take, WorkControl *) const override
    {
        for (int top = first / bandRows * bandRows; top < end && top < size().height(); top += bandRows) {
            const int height = std::min(bandRows, size().height() - top);
            const auto rows = [&](const QImage &page) {
                return page.isNull() ? page : page.copy(0, top, page.width(), height);
            };
            PixelSources band{rows(sources.picture), rows(sources.inkPage1), rows(sources.inkPage2),
                              sources.channelCount};
            take(band, top);
        }
        return true;
    }

private:
    PixelSources sources;
    int bandRows;
};
