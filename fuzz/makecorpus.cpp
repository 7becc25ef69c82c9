// Writes the seed corpora of the fuzz targets, and with --regression the
// small hostile files kept in fuzz/regression. Usage: makecorpus DIR [--regression]
#include "hostilefiles.h"
#include "imagefiles.h"
#include "jpegfiles.h"
#include "lcmshandles.h"
#include "profiles.h"
#include "resourcedir.h"
#include "tifffiles.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {

void save(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

void tiffSeeds(const QString &dir)
{
    int n = 0;
    for (int bits : {8, 16})
        for (bool planar : {false, true})
            for (bool tiled : {false, true})
                for (int alpha : {-1, int(EXTRASAMPLE_UNASSALPHA), int(EXTRASAMPLE_ASSOCALPHA)}) {
                    TiffPage page;
                    page.width = 20;
                    page.height = 18;
                    page.bits = bits;
                    page.planar = planar;
                    page.tiled = tiled;
                    page.extraSample = alpha;
                    page.compression = n % 3 == 0 ? COMPRESSION_NONE : n % 3 == 1 ? COMPRESSION_LZW : COMPRESSION_ADOBE_DEFLATE;
                    page.description = "NumberOfInks:4;Photometric:5;Job:1";
                    page.sample = [](int x, int y, int s) { return (x * 13 + y * 7 + s * 50) % 256; };
                    writeTiff(QString("%1/separation%2.tif").arg(dir).arg(n++), {page});
                }
    TiffPage grey;
    grey.photometric = PHOTOMETRIC_MINISWHITE;
    grey.colourSamples = 1;
    writeTiff(dir + "/grey.tif", {grey});
    TiffPage rgb;
    rgb.photometric = PHOTOMETRIC_RGB;
    rgb.colourSamples = 3;
    ProfileHandle wide(makeWideRgbProfile("Wide"));
    rgb.icc = profileBytes(wide.get());
    writeTiff(dir + "/rgb.tif", {rgb, rgb});
    TiffPage palette;
    palette.photometric = PHOTOMETRIC_PALETTE;
    palette.colourSamples = 1;
    palette.colourMap = {qRgb(10, 20, 30), qRgb(200, 100, 0)};
    writeTiff(dir + "/palette.tif", {palette});
}

void jpegSeeds(const QString &dir)
{
    CmykJpegFile cmyk;
    cmyk.ink = [](int x, int y, int c) { return (x * 9 + y * 5 + c * 60) % 256; };
    save(dir + "/cmyk.jpg", cmykJpegBytes(cmyk));
    CmykJpegFile variant = cmyk;
    variant.ycck = true;
    variant.progressive = true;
    variant.subsampled = true;
    variant.restartRows = 1;
    variant.comments = {"NumberOfInks:4;Job:2"};
    ProfileHandle press(openDefaultCmyk());
    variant.icc = profileBytes(press.get()).left(20000);
    variant.iccChunkSize = 6000;
    variant.iccChunkOrder = {2, 1, 4, 3};
    save(dir + "/ycck.jpg", cmykJpegBytes(variant));
    save(dir + "/rgb.jpg", rgbJpegWithComments({"Description: seed"}));
    ColourJpegFile rgb;
    rgb.restartRows = 1;
    save(dir + "/rgb-restarts.jpg", colourJpegBytes(rgb));
    rgb.restartRows = 0;
    rgb.arithmetic = true;
    rgb.progressive = true;
    save(dir + "/rgb-arithmetic-progressive.jpg", colourJpegBytes(rgb));
    ColourJpegFile grey;
    grey.components = 1;
    grey.hSampling = grey.vSampling = 1;
    grey.progressive = true;
    save(dir + "/grey-progressive.jpg", colourJpegBytes(grey));
}

// Solid red in four inks: M and Y at full.
int redInks(int, int, int c)
{
    return c == 1 || c == 2 ? 255 : 0;
}

// Four-ink JPEGs that were once measured wrongly or slowly.
void jpegRegressionFiles(const QString &dir)
{
    CmykJpegFile red;
    red.ink = redInks;
    save(dir + "/stray-byte-before-frame.jpg", withStrayByteBeforeFrame(cmykJpegBytes(red)));
    CmykJpegFile scans = red;
    scans.arithmetic = true;
    scans.repeatedRefinements = 2000;
    save(dir + "/2000-refinement-scans.jpg", cmykJpegBytes(scans));
    CmykJpegFile oneInk = red;
    oneInk.comments = {"NumberOfInks:1"};
    save(dir + "/comment-one-ink.jpg", cmykJpegBytes(oneInk));
    CmykJpegFile chunks = red;
    ProfileHandle wide(makeWideRgbProfile("Wide"));
    chunks.icc = profileBytes(wide.get());
    chunks.iccChunkSize = (chunks.icc.size() + 5) / 6;
    chunks.iccChunkOrder = {1, 2, 3, 5, 6};
    save(dir + "/icc-chunk-4-of-6-missing.jpg", cmykJpegBytes(chunks));
    chunks.iccChunkOrder = {1, 2, 3, 3, 4, 5, 6};
    save(dir + "/icc-chunk-3-of-6-twice.jpg", cmykJpegBytes(chunks));
    ColourJpegFile flat;
    flat.width = flat.height = 6000;
    flat.arithmetic = true;
    flat.sample = [](int, int, int c) { return c == 0 ? 200 : c == 1 ? 60 : 30; };
    save(dir + "/flat-6000-arithmetic.jpg", colourJpegBytes(flat));
}

void profileSeeds(const QString &dir)
{
    ProfileHandle wide(makeWideRgbProfile("Wide"));
    ProfileHandle grey(makeGrayProfile("Grey"));
    ProfileHandle press(openDefaultCmyk());
    save(dir + "/rgb", "Photometric:2\n" + profileBytes(wide.get()));
    save(dir + "/grey", "NumberOfInks:1\n" + profileBytes(grey.get()));
    save(dir + "/cmyk", "NumberOfInks:4;Photometric:5\n" + profileBytes(press.get()));
    save(dir + "/text", "NumberOfInks:2;NumberOfInks::3;a:b:c;Photometric:x");
}

// The reproducers of the faults once found, small enough to keep.
void regressionFiles(const QString &dir)
{
    ProfileHandle wide(makeWideRgbProfile("Wide"));
    const QByteArray profile = profileBytes(wide.get());
    save(dir + "/tiffreader/many-samples-strip.tif", manySamplesTiff(false));
    save(dir + "/tiffreader/many-samples-tile.tif", manySamplesTiff(true));
    save(dir + "/tiffreader/shared-strips.tif", sharedStripsTiff(16383, 256));
    save(dir + "/tiffreader/shared-tags.tif", sharedTagsTiff(300, profile + QByteArray(60000, 'p'), 20000));
    save(dir + "/jpegreader/claims-23000.jpg", claimingJpeg(23000, 23000));
    CmykJpegFile cmyk;
    const QByteArray whole = cmykJpegBytes(cmyk);
    save(dir + "/jpegreader/cmyk-cut.jpg", whole.left(whole.size() - 40));
    jpegRegressionFiles(dir + "/jpegreader");
    save(dir + "/profiles/cut-after-tag-table", "Photometric:2\n" + cutAfterTagTable(profile));
    save(dir + "/profiles/invalid-signatures", "Photometric:2\n" + invalidSignatures(profile));
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    useProgramImageReaders();
    if (argc < 2) {
        std::fprintf(stderr, "usage: makecorpus DIR [--regression]\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const bool regression = argc > 2 && QByteArray(argv[2]) == "--regression";
    for (const char *target : {"tiffreader", "jpegreader", "profiles"})
        QDir().mkpath(dir + "/" + target);
    if (regression) {
        regressionFiles(dir);
        return 0;
    }
    tiffSeeds(dir + "/tiffreader");
    jpegSeeds(dir + "/jpegreader");
    profileSeeds(dir + "/profiles");
    return 0;
}
