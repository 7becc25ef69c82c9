#pragma once

#include "pagepreparation.h"
#include "pixelvalues.h"

#include <QSize>

#include <memory>

// The samples of a picture's bands, copied into images as tall as the
// picture while they fit the budget. Ink 4 of an 8-bit separation is kept
// alone, a byte a pixel, as long as every pixel is covered: a press file's
// samples then take 5 bytes a pixel instead of 8.
class KeptSamples
{
public:
    KeptSamples(QSize size, qint64 budget) : size(size), budget(budget) {}

    // The band whose row 0 is the picture's row top; bands come top to bottom.
    void keep(const PixelSources &band, int top);
    // The whole picture's samples; empty when they did not fit. During the
    // pass, the images being filled, whose first rowsKept() rows are written.
    PixelSources result() const;
    int rowsKept() const { return keeping ? kept : 0; }

private:
    void start(const PixelSources &band);
    void stopKeeping();
    bool allocateLike(const QImage &band, QImage &page) const;
    bool allocate(QImage::Format format, QImage &page) const;
    qint64 pageBytes(const QImage &page) const;
    void copyRows(const QImage &band, QImage &page, int top);
    void keepBlack(const QImage &blackAndCoverage, int top);
    bool copyBlackAlone(const QImage &blackAndCoverage, int top);
    void widenBlack(int rows);

    QSize size;
    qint64 budget;
    PixelSources whole;
    bool keeping = false;
    bool wholeBand = false;
    bool blackAlone = false;
    int kept = 0;
    // Of the images allocated for the picture; gone with them.
    std::unique_ptr<PagePreparation> preparation;
};
