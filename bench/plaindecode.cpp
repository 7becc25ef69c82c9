#include "plaindecode.h"

#include <QElapsedTimer>

#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <jpeglib.h>

namespace {

double fastestOfThree(const std::function<void()> &decode)
{
    double best = 1e12;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer clock;
        clock.start();
        decode();
        best = std::min(best, clock.nsecsElapsed() / 1e6);
    }
    return best;
}

void decodeTiff(const QString &path)
{
    TIFF *tiff = TIFFOpen(path.toLocal8Bit().constData(), "r");
    if (!tiff)
        return;
    if (TIFFIsTiled(tiff)) {
        std::vector<uchar> tile(size_t(TIFFTileSize(tiff)));
        for (ttile_t t = 0; t < TIFFNumberOfTiles(tiff); ++t)
            TIFFReadEncodedTile(tiff, t, tile.data(), -1);
    } else {
        std::vector<uchar> strip(size_t(TIFFStripSize(tiff)));
        for (tstrip_t s = 0; s < TIFFNumberOfStrips(tiff); ++s)
            TIFFReadEncodedStrip(tiff, s, strip.data(), -1);
    }
    TIFFClose(tiff);
}

// The benchmark's own files are sound, so libjpeg's default error handling
// (a message and exit) is enough.
void decodeJpeg(const QString &path)
{
    FILE *file = std::fopen(path.toLocal8Bit().constData(), "rb");
    if (!file)
        return;
    jpeg_decompress_struct decoder;
    jpeg_error_mgr errors;
    decoder.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&decoder);
    jpeg_stdio_src(&decoder, file);
    jpeg_read_header(&decoder, TRUE);
    decoder.out_color_space = JCS_RGB;
    jpeg_start_decompress(&decoder);
    std::vector<JSAMPLE> row(size_t(decoder.output_width) * decoder.output_components);
    JSAMPROW rows[1] = {row.data()};
    while (decoder.output_scanline < decoder.output_height)
        jpeg_read_scanlines(&decoder, rows, 1);
    jpeg_finish_decompress(&decoder);
    jpeg_destroy_decompress(&decoder);
    std::fclose(file);
}

} // namespace

double rawTiffDecodeMs(const QString &path)
{
    return fastestOfThree([&] { decodeTiff(path); });
}

double plainJpegDecodeMs(const QString &path)
{
    return fastestOfThree([&] { decodeJpeg(path); });
}
