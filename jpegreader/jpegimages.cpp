#include "jpegimages.h"

#include "inkpreview.h"
#include "jpegdecoder.h"
#include "separationrow.h"

#include <QByteArray>

#include <functional>

namespace {

constexpr int band = JpegDecoder::maxBandRows;

// Sets the resolution as Qt's reader does.
void setDensity(QImage &picture, const JpegHeader &header)
{
    if (header.densityUnit == 1) {
        picture.setDotsPerMeterX(int(100. * header.densityX / 2.54));
        picture.setDotsPerMeterY(int(100. * header.densityY / 2.54));
    } else if (header.densityUnit == 2) {
        picture.setDotsPerMeterX(int(100. * header.densityX));
        picture.setDotsPerMeterY(int(100. * header.densityY));
    }
}

bool decodeInPlace(JpegDecoder &decoder, QImage &picture)
{
    while (decoder.nextRow() < picture.height()) {
        const int row = decoder.nextRow();
        if (decoder.readRows(picture.scanLine(row), picture.bytesPerLine(), qMin(band, picture.height() - row)) == 0)
            return false;
    }
    return true;
}

// Decodes every row in bands through a buffer of the decoder's samples and
// hands each row to store with its number.
bool decodeBands(JpegDecoder &decoder, int width, int height, const std::function<void(const uchar *, int)> &store)
{
    const qsizetype stride = qsizetype(width) * decoder.samplesPerPixel();
    QByteArray rows(int(stride * band), '\0');
    while (decoder.nextRow() < height) {
        const int first = decoder.nextRow();
        const int done = decoder.readRows(reinterpret_cast<uchar *>(rows.data()), stride, band);
        if (done == 0)
            return false;
        for (int r = 0; r < done; ++r)
            store(reinterpret_cast<const uchar *>(rows.constData()) + r * stride, first + r);
    }
    return true;
}

bool decodeInks(JpegDecoder &decoder, QImage &inks, QImage &black)
{
    return decodeBands(decoder, inks.width(), inks.height(), [&inks, &black](const uchar *in, int row) {
        splitSeparationRow(in, inks.width(), inks.scanLine(row), black.scanLine(row));
    });
}

bool decodeSeparation(JpegDecoder &decoder, QSize size, JpegImages *images)
{
    QImage inks(size, QImage::Format_RGBX8888);
    QImage black(size, QImage::Format_RGBX8888);
    if (inks.isNull() || black.isNull())
        return false;
    if (!decodeInks(decoder, inks, black) || !decoder.finish())
        return false;
    images->picture = inkPreview(inks, black);
    images->inks = inks;
    images->blackAndCoverage = black;
    return true;
}

} // namespace

bool decodeJpegImages(JpegDecoder &decoder, JpegImages *images)
{
    const JpegHeader &header = decoder.header();
    const QSize size(header.width, header.height);
    if (header.components == 4)
        return decodeSeparation(decoder, size, images);
    const bool grey = header.components == 1;
    QImage picture(size, grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    if (picture.isNull())
        return false;
    // Grey and RGB32 rows come out of the decoder as the picture holds them.
    if (!decodeInPlace(decoder, picture) || !decoder.finish())
        return false;
    setDensity(picture, header);
    images->picture = picture;
    return true;
}
