#include "keptsamples.h"

#include "bytelayout.h"
#include "samplememory.h"

#include <cstring>

namespace {

bool inksShared(const PixelSources &sources)
{
    return sources.inkPage1.constBits() == sources.picture.constBits();
}

} // namespace

void KeptSamples::keep(const PixelSources &band, int top)
{
    if (top == 0)
        start(band);
    if (wholeBand)
        kept = size.height();
    if (!keeping || wholeBand)
        return;
    copyRows(band.picture, whole.picture, top);
    if (preparation)
        preparation->rowsWritten(top + band.picture.height());
    if (band.channelCount >= 4) {
        keepBlack(band.inkPage2, top);
        // The picture of a four-ink band is its first ink image.
        if (!band.inkPage1.isNull() && !inksShared(band))
            copyRows(band.inkPage1, whole.inkPage1, top);
    }
    kept = std::min(size.height(), top + band.picture.height());
}

PixelSources KeptSamples::result() const
{
    if (!keeping)
        return {};
    PixelSources kept = whole;
    if (kept.channelCount >= 4 && kept.inkPage1.isNull())
        kept.inkPage1 = kept.picture;
    return kept;
}

// A band that is the whole picture is kept as it is; other bands are
// copied into images allocated at the first band.
void KeptSamples::start(const PixelSources &band)
{
    ByteLayout layout;
    blackAlone = band.channelCount >= 4 && eightBitLayout(band, &layout) && layout.coverageOffset >= 0;
    const qint64 blackBytes = blackAlone ? qint64((size.width() + 3) & ~3) * size.height() : pageBytes(band.inkPage2);
    const qint64 need = pageBytes(band.picture) + blackBytes + (inksShared(band) ? 0 : pageBytes(band.inkPage1));
    if (need > budget)
        return;
    whole = band;
    if (band.picture.height() >= size.height()) {
        wholeBand = true;
        keeping = true;
        return;
    }
    whole = {};
    whole.channelCount = band.channelCount;
    keeping = allocateLike(band.picture, whole.picture);
    if (band.channelCount >= 4) {
        keeping = keeping && (inksShared(band) || allocateLike(band.inkPage1, whole.inkPage1)) &&
                  (blackAlone ? allocate(QImage::Format_Grayscale8, whole.inkPage2)
                              : allocateLike(band.inkPage2, whole.inkPage2));
    }
    if (!keeping) {
        whole = {};
        return;
    }
    preparation = std::make_unique<PagePreparation>(
        std::vector<const QImage *>{&whole.picture, &whole.inkPage1, &whole.inkPage2}, size.height());
}

void KeptSamples::stopKeeping()
{
    preparation.reset();
    keeping = false;
    whole = {};
}

qint64 KeptSamples::pageBytes(const QImage &page) const
{
    return page.isNull() ? 0 : qint64(page.bytesPerLine()) * size.height();
}

bool KeptSamples::allocateLike(const QImage &band, QImage &page) const
{
    if (band.isNull())
        return true;
    if (!allocate(band.format(), page))
        return false;
    page.setColorTable(band.colorTable());
    return true;
}

bool KeptSamples::allocate(QImage::Format format, QImage &page) const
{
    page = SampleMemory::shared().image(size, format);
    return !page.isNull();
}

void KeptSamples::copyRows(const QImage &band, QImage &page, int top)
{
    if (band.isNull() || page.isNull())
        return;
    const qsizetype bytes = std::min(band.bytesPerLine(), page.bytesPerLine());
    for (int y = 0; y < band.height() && top + y < page.height(); ++y)
        std::memcpy(page.scanLine(top + y), band.constScanLine(y), size_t(bytes));
}

void KeptSamples::keepBlack(const QImage &blackAndCoverage, int top)
{
    // The first pixel not fully covered needs the coverage kept, for every pixel.
    if (blackAlone && !copyBlackAlone(blackAndCoverage, top))
        widenBlack(top);
    if (keeping && !blackAlone)
        copyRows(blackAndCoverage, whole.inkPage2, top);
}

bool KeptSamples::copyBlackAlone(const QImage &blackAndCoverage, int top)
{
    const int width = size.width();
    for (int y = 0; y < blackAndCoverage.height() && top + y < size.height(); ++y) {
        const uchar *rest = blackAndCoverage.constScanLine(y);
        uchar *black = whole.inkPage2.scanLine(top + y);
        uchar covered = 255;
        for (int x = 0; x < width; ++x) {
            black[x] = rest[4 * x];
            covered &= rest[4 * x + 1];
        }
        if (covered != 255)
            return false;
    }
    return true;
}

// The rows kept so far, ink 4 alone, again as ink 4 and full coverage.
void KeptSamples::widenBlack(int rows)
{
    // The page of ink 4 alone goes.
    preparation.reset();
    blackAlone = false;
    const QImage black = whole.inkPage2;
    const qint64 wideBytes = qint64(4) * size.width() * size.height();
    QImage wide;
    if (pageBytes(whole.picture) + pageBytes(whole.inkPage1) + pageBytes(black) + wideBytes > budget ||
        !allocate(QImage::Format_RGBX8888, wide)) {
        stopKeeping();
        return;
    }
    for (int y = 0; y < rows; ++y) {
        const uchar *k = black.constScanLine(y);
        uchar *rest = wide.scanLine(y);
        for (int x = 0; x < size.width(); ++x, rest += 4) {
            rest[0] = k[x];
            rest[1] = 255;
            rest[2] = 0;
            rest[3] = 255;
        }
    }
    whole.inkPage2 = wide;
}
