#pragma once

#include "pixelvalues.h"

#include <QSize>

#include <functional>

class WorkControl;

// The pixel rows of a picture, handed out in bands: from samples kept in
// memory or read from the file again. A band is a PixelSources as high as
// the rows it holds; its row 0 is the picture's row bandTop.
class PictureRows
{
public:
    using BandTaker = std::function<void(const PixelSources &band, int bandTop)>;

    virtual ~PictureRows() = default;
    virtual QSize size() const = 0;
    virtual int channelCount() const = 0;
    // Hands take() bands that together hold at least rows [first, end), top
    // to bottom; a band may hold rows outside that range. False when the
    // work was cancelled or the rows could not be read.
    virtual bool read(int first, int end, const BandTaker &take, WorkControl *control) const = 0;
};

// Rows kept in memory: one band, the whole picture.
class KeptRows : public PictureRows
{
public:
    explicit KeptRows(PixelSources sources) : sources(std::move(sources)) {}
    QSize size() const override { return sources.picture.size(); }
    int channelCount() const override { return sources.channelCount; }
    bool read(int, int, const BandTaker &take, WorkControl *) const override
    {
        take(sources, 0);
        return true;
    }

private:
    PixelSources sources;
};
