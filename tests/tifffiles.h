#pragma once

#include <QByteArray>
#include <QRgb>
#include <QString>
#include <QVector>

#include <tiffio.h>

#include <functional>

// One page of a test TIFF, written with libtiff. Sample values are in the
// file's bit depth; samples beyond the colour samples are extra samples.
struct TiffPage {
    int width = 4;
    int height = 3;
    int photometric = PHOTOMETRIC_SEPARATED;
    int colourSamples = 4;
    int bits = 8;
    bool planar = false;
    bool tiled = false;
    int extraSample = -1; // EXTRASAMPLE_ASSOCALPHA, EXTRASAMPLE_UNASSALPHA or none
    int compression = COMPRESSION_NONE;
    int predictor = PREDICTOR_NONE;
    int numberOfInksTag = 0; // 0: leave the tag out
    QString description;
    QByteArray icc;
    QVector<QRgb> colourMap; // written for PHOTOMETRIC_PALETTE pages of 8 bits
    std::function<int(int x, int y, int sample)> sample = [](int, int, int) { return 0; };
};

// Writes the pages to path, in big-endian byte order when bigEndian (as
// Motorola-order files from some prepress tools are); false when libtiff refuses.
bool writeTiff(const QString &path, const QVector<TiffPage> &pages, bool bigEndian = false);
