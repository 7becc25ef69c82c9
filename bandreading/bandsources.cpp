#include "bandsources.h"

#include "inkpreview.h"

PixelSources bandSources(const QImage &picture, const QImage &inks, const QImage &blackAndCoverage, int channelCount)
{
    if (inks.isNull())
        return {picture, {}, {}, channelCount};
    // The ink image stands for the picture's size; a preview is made only when it is measured.
    if (channelCount >= 4)
        return {inks, inks, blackAndCoverage, channelCount};
    return {inkPreview(inks, blackAndCoverage), {}, {}, channelCount};
}
