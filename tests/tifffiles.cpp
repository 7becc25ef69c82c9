#include "tifffiles.h"

#include <vector>

namespace {

void setTags(TIFF *tiff, const TiffPage &page)
{
    const int samples = page.colourSamples + (page.extraSample >= 0 ? 1 : 0);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(page.width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(page.height));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, uint16_t(samples));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, uint16_t(page.bits));
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, uint16_t(page.photometric));
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, uint16_t(page.planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG));
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, uint16_t(page.compression));
    if (page.predictor != PREDICTOR_NONE)
        TIFFSetField(tiff, TIFFTAG_PREDICTOR, uint16_t(page.predictor));
    if (page.extraSample >= 0) {
        const uint16_t kinds[1] = {uint16_t(page.extraSample)};
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, uint16_t(1), kinds);
    }
    if (page.photometric == PHOTOMETRIC_SEPARATED)
        TIFFSetField(tiff, TIFFTAG_INKSET, uint16_t(page.colourSamples == 4 ? INKSET_CMYK : INKSET_MULTIINK));
    if (page.numberOfInksTag > 0)
        TIFFSetField(tiff, TIFFTAG_NUMBEROFINKS, uint16_t(page.numberOfInksTag));
    if (!page.description.isEmpty())
        TIFFSetField(tiff, TIFFTAG_IMAGEDESCRIPTION, page.description.toUtf8().constData());
    if (!page.icc.isEmpty())
        TIFFSetField(tiff, TIFFTAG_ICCPROFILE, uint32_t(page.icc.size()), page.icc.constData());
    if (page.photometric == PHOTOMETRIC_PALETTE) {
        std::vector<uint16_t> red(256, 0), green(256, 0), blue(256, 0);
        for (int i = 0; i < page.colourMap.size() && i < 256; ++i) {
            red[size_t(i)] = uint16_t(qRed(page.colourMap[i]) * 257);
            green[size_t(i)] = uint16_t(qGreen(page.colourMap[i]) * 257);
            blue[size_t(i)] = uint16_t(qBlue(page.colourMap[i]) * 257);
        }
        TIFFSetField(tiff, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
    }
    if (page.tiled) {
        TIFFSetField(tiff, TIFFTAG_TILEWIDTH, uint32_t(16));
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, uint32_t(16));
    } else {
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, uint32_t(2));
    }
}

void putSample(std::vector<uint8_t> &buffer, size_t index, int bits, int value)
{
    if (bits == 16)
        reinterpret_cast<uint16_t *>(buffer.data())[index] = uint16_t(value);
    else
        buffer[index] = uint8_t(value);
}

bool writeTiles(TIFF *tiff, const TiffPage &page, int samples)
{
    const int planes = page.planar ? samples : 1;
    const int perPixel = page.planar ? 1 : samples;
    std::vector<uint8_t> tile(size_t(TIFFTileSize(tiff)));
    for (int plane = 0; plane < planes; ++plane)
        for (int ty = 0; ty < page.height; ty += 16)
            for (int tx = 0; tx < page.width; tx += 16) {
                std::fill(tile.begin(), tile.end(), 0);
                for (int y = 0; y < 16 && ty + y < page.height; ++y)
                    for (int x = 0; x < 16 && tx + x < page.width; ++x)
                        for (int s = 0; s < perPixel; ++s)
                            putSample(tile, size_t((y * 16 + x) * perPixel + s), page.bits,
                                      page.sample(tx + x, ty + y, page.planar ? plane : s));
                if (TIFFWriteTile(tiff, tile.data(), uint32_t(tx), uint32_t(ty), 0, uint16_t(plane)) < 0)
                    return false;
            }
    return true;
}

bool writeStrips(TIFF *tiff, const TiffPage &page, int samples)
{
    const int planes = page.planar ? samples : 1;
    const int perPixel = page.planar ? 1 : samples;
    std::vector<uint8_t> line(size_t(TIFFScanlineSize(tiff)));
    for (int plane = 0; plane < planes; ++plane)
        for (int y = 0; y < page.height; ++y) {
            for (int x = 0; x < page.width; ++x)
                for (int s = 0; s < perPixel; ++s)
                    putSample(line, size_t(x * perPixel + s), page.bits, page.sample(x, y, page.planar ? plane : s));
            if (TIFFWriteScanline(tiff, line.data(), uint32_t(y), uint16_t(plane)) < 0)
                return false;
        }
    return true;
}

} // namespace

bool writeTiff(const QString &path, const QVector<TiffPage> &pages, bool bigEndian)
{
    TIFF *tiff = TIFFOpen(path.toLocal8Bit().constData(), bigEndian ? "wb" : "wl");
    if (!tiff)
        return false;
    bool ok = true;
    for (const TiffPage &page : pages) {
        setTags(tiff, page);
        const int samples = page.colourSamples + (page.extraSample >= 0 ? 1 : 0);
        ok = ok && (page.tiled ? writeTiles(tiff, page, samples) : writeStrips(tiff, page, samples));
        ok = ok && TIFFWriteDirectory(tiff);
    }
    TIFFClose(tiff);
    return ok;
}
