#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

#include <functional>

// A four-component JPEG for the tests, written with libjpeg the way press
// software writes them: samples stored inverted (255 - ink), with Adobe's
// marker (transform 0 for CMYK, 2 for YCCK).
struct CmykJpegFile {
    int width = 16;
    int height = 16;
    bool ycck = false;
    bool progressive = false;
    bool subsampled = false; // 4:2:0 for the first component
    int restartRows = 0;     // a restart marker every so many MCU rows; 0 for none
    bool arithmetic = false;
    // AC refinement scans of the first component repeated after a progressive script, 0 for none.
    int repeatedRefinements = 0;
    int quality = 100;
    QByteArray icc;
    // The order the ICC chunks are written in (1-based); empty: in order.
    QVector<int> iccChunkOrder;
    int iccChunkSize = 65519;
    QList<QByteArray> comments;
    // The ink (0..255) of component c at x, y.
    std::function<int(int x, int y, int c)> ink = [](int, int, int) { return 0; };
};

// The file's bytes.
QByteArray cmykJpegBytes(const CmykJpegFile &file);

// Writes the file to path; returns the path.
QString writeCmykJpeg(const QString &path, const CmykJpegFile &file);

// A grey or RGB JPEG (or of another number of components) for the tests, written with libjpeg's defaults unless
// asked otherwise: sampling factors of the first component, progression,
// restart markers, arithmetic coding, an Exif orientation.
struct ColourJpegFile {
    int width = 37;
    int height = 23;
    int components = 3;
    int hSampling = 2;
    int vSampling = 2;
    bool progressive = false;
    int restartRows = 0;
    bool arithmetic = false;
    int repeatedRefinements = 0;
    int exifOrientation = 0; // 0: no Exif marker
    int quality = 75;
    // The sample (0..255) of component c at x, y.
    std::function<int(int x, int y, int c)> sample = [](int x, int y, int c) { return (x * 7 + y * 11 + c * 90) % 256; };
};

QByteArray colourJpegBytes(const ColourJpegFile &file);

// bytes with one 0x00 put in before the frame header (SOF0), as a careless writer leaves it.
QByteArray withStrayByteBeforeFrame(const QByteArray &bytes);

// bytes with a marker segment (0xFF marker, then the payload's length) right after the start marker.
QByteArray withSegmentAfterStart(const QByteArray &bytes, char marker, const QByteArray &payload);

// An RGB JPEG written by libjpeg with raw COM markers; returns its bytes.
QByteArray rgbJpegWithComments(const QList<QByteArray> &comments);
