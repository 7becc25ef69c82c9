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

// An RGB JPEG written by libjpeg with raw COM markers; returns its bytes.
QByteArray rgbJpegWithComments(const QList<QByteArray> &comments);
