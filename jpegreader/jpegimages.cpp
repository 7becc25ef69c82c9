#include "jpegimages.h"

#include "inkpreview.h"
#include "jpegdecoder.h"

#include <QByteArray>

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

bool decodeGrey(JpegDecoder &decoder, QImage &picture)
{
    while (decoder.nextRow() < picture.height()) {
        const int row = decoder.nextRow();
        if (decoder.readRows(picture.scanLine(row), picture.bytesPerLine(), qMin(band, picture.height() - row)) == 0)
            return false;
    }
    return true;
}

bool decodeRgb(JpegDecoder &decoder, QImage &picture)
{
    const qsizetype stride = qsizetype(picture.width()) * 3;
    QByteArray rows(int(stride * band), '\0');
    while (decoder.nextRow() < picture.height()) {
        const int first = decoder.nextRow();
        const int done = decoder.readRows(reinterpret_cast<uchar *>(rows.data()), stride, band);
        if (done == 0)
            return false;
        for (int r = 0; r < done; ++r) {
            const uchar *in = reinterpret_cast<const uchar *>(rows.constData()) + r * stride;
            auto *out = reinterpret_cast<QRgb *>(picture.scanLine(first + r));
            for (int x = 0; x < picture.width(); ++x, in += 3)
                out[x] = qRgb(in[0], in[1], in[2]);
        }
    }
    return true;
}

bool decodeInks(JpegDecoder &decoder, QImage &inks, QImage &black)
{
    const qsizetype stride = qsizetype(inks.width()) * 4;
    QByteArray rows(int(stride * band), '\0');
    while (decoder.nextRow() < inks.height()) {
        const int first = decoder.nextRow();
        const int done = decoder.readRows(reinterpret_cast<uchar *>(rows.data()), stride, band);
        if (done == 0)
            return false;
        for (int r = 0; r < done; ++r) {
            const uchar *in = reinterpret_cast<const uchar *>(rows.constData()) + r * stride;
            uchar *ink = inks.scanLine(first + r);
            uchar *rest = black.scanLine(first + r);
            for (int x = 0; x < inks.width(); ++x, in += 4) {
                ink[4 * x] = in[0];
                ink[4 * x + 1] = in[1];
                ink[4 * x + 2] = in[2];
                ink[4 * x + 3] = 255;
                rest[4 * x] = in[3];
            }
        }
    }
    return true;
}

bool decodeSeparation(JpegDecoder &decoder, QSize size, JpegImages *images)
{
    QImage inks(size, QImage::Format_RGBX8888);
    QImage black(size, QImage::Format_RGBX8888);
    if (inks.isNull() || black.isNull())
        return false;
    // Every pixel is fully covered: green holds the coverage.
    black.fill(QColor(0, 255, 0));
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
    if (decoder.samplesPerPixel() == 4)
        return decodeSeparation(decoder, size, images);
    const bool grey = decoder.samplesPerPixel() == 1;
    QImage picture(size, grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    if (picture.isNull())
        return false;
    if (!(grey ? decodeGrey(decoder, picture) : decodeRgb(decoder, picture)) || !decoder.finish())
        return false;
    setDensity(picture, header);
    images->picture = picture;
    return true;
}
