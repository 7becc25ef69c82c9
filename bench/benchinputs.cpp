#include "benchinputs.h"

#include "lcmshandles.h"

#include <QColorSpace>
#include <QImageWriter>

#include <tiffio.h>

#include <cmath>
#include <random>
#include <unordered_set>
#include <vector>

namespace {

// An AdobeRGB-like profile: wide primaries, gamma 2.2.
cmsHPROFILE wideProfile()
{
    const cmsCIExyYTRIPLE primaries = {{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve *gamma = cmsBuildGamma(nullptr, 2.2);
    cmsToneCurve *curves[3] = {gamma, gamma, gamma};
    cmsCIExyY white;
    cmsWhitePointFromTemp(&white, 6504);
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(gamma);
    return profile;
}

// A new CMYK TIFF of 8-bit contiguous samples, ready for its scanlines.
TIFF *openSeparationTiff(const QString &path, int width, int height, uint32_t rowsPerStrip)
{
    TIFF *tiff = TIFFOpen(path.toLocal8Bit().constData(), "w");
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(height));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, uint16_t(4));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, uint16_t(8));
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_SEPARATED));
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, uint16_t(PLANARCONFIG_CONTIG));
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    return tiff;
}

// One grainy row of the press picture, its colours counted.
void pressRow(int y, int width, int height, std::mt19937 &random, std::normal_distribution<double> &grain,
              std::vector<uchar> &line, std::unordered_set<quint32> &colours)
{
    for (int x = 0; x < width; ++x) {
        const double u = double(x) / width, v = double(y) / height;
        const double blob = std::exp(-((u - 0.45) * (u - 0.45) + (v - 0.5) * (v - 0.5)) * 10.0);
        const double inks[4] = {0.15 + 0.6 * u * (1 - v) + 0.2 * blob, 0.1 + 0.5 * v + 0.125 * std::sin(u * 7),
                                0.2 + 0.5 * (1 - u) * v + 0.3 * blob, 0.05 + 0.35 * u * v};
        uchar *p = &line[size_t(x) * 4];
        for (int c = 0; c < 4; ++c)
            p[c] = uchar(qBound(0, int(inks[c] * 255 + grain(random)), 255));
        colours.insert(quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3]);
    }
}

} // namespace

QByteArray profileBytes(cmsHPROFILE profile)
{
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    QByteArray bytes(int(size), '\0');
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    return bytes;
}

QImage photograph(int width, int height, double grain)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0.0, grain);
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            const double blob = std::exp(-((u - 0.4) * (u - 0.4) + (v - 0.5) * (v - 0.5)) * 12.0);
            auto level = [&](double value) { return qBound(0, int(value + noise(random)), 255); };
            row[x] = qRgb(level(40 + 170 * u + 40 * blob), level(60 + 120 * v * (1 - u) + 60 * blob),
                          level(200 - 150 * v + 30 * std::sin(u * 9.0)));
        }
    }
    return image;
}

QImage noise(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(2);
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = 0xff000000u | (random() & 0xffffffu);
    }
    return image;
}

void writeSeparation(const QString &path, int width, int height)
{
    TIFF *tiff = openSeparationTiff(path, width, height, 16);
    std::mt19937 random(3);
    std::vector<uchar> line(size_t(width) * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            auto ink = [&](double value) { return uchar(qBound(0, int(value * 255 + int(random() % 3) - 1), 255)); };
            uchar *p = &line[size_t(x) * 4];
            p[0] = ink(u);
            p[1] = ink(v * 0.8);
            p[2] = ink(0.5 * (1 - u));
            p[3] = ink(0.3 * u * v);
        }
        TIFFWriteScanline(tiff, line.data(), uint32_t(y), 0);
    }
    TIFFClose(tiff);
}

size_t writePressSeparation(const QString &path, int width, int height, const QByteArray &icc, int copies)
{
    TIFF *tiff = openSeparationTiff(path, width, height * copies, 64);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, uint16_t(COMPRESSION_ADOBE_DEFLATE));
    TIFFSetField(tiff, TIFFTAG_PREDICTOR, uint16_t(PREDICTOR_HORIZONTAL));
    TIFFSetField(tiff, TIFFTAG_ICCPROFILE, uint32_t(icc.size()), icc.constData());
    std::vector<uchar> line(size_t(width) * 4);
    std::unordered_set<quint32> colours;
    for (int copy = 0; copy < copies; ++copy) {
        // The same seed for every copy: each is the same picture, grain and all.
        std::mt19937 random(5);
        std::normal_distribution<double> grain(0.0, 2.0);
        for (int y = 0; y < height; ++y) {
            pressRow(y, width, height, random, grain, line, colours);
            TIFFWriteScanline(tiff, line.data(), uint32_t(copy * height + y), 0);
        }
    }
    TIFFClose(tiff);
    return colours.size();
}

QString writeTaggedJpeg(const QImage &picture, const QString &dir, const char *name)
{
    ProfileHandle wide(wideProfile());
    QImage tagged = picture;
    tagged.setColorSpace(QColorSpace::fromIccProfile(profileBytes(wide.get())));
    const QString path = dir + "/" + name;
    QImageWriter writer(path, "jpeg");
    writer.setQuality(92);
    writer.write(tagged);
    return path;
}

