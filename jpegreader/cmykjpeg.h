#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

class QIODevice;

// What the header of a JPEG says, as far as a four-ink reading needs it.
struct JpegHeader {
    int width = 0;
    int height = 0;
    int components = 0;
    // Adobe's APP14 marker: its presence means the samples are stored inverted.
    bool adobeMarker = false;
    // The embedded ICC profile, reassembled from its APP2 chunks; empty when
    // there is none, or when a chunk is missing or repeated.
    QByteArray icc;
    // The COM markers, in file order.
    QList<QByteArray> comments;
};

// A four-component (CMYK or YCCK) JPEG as the images of a separation.
struct CmykJpeg {
    JpegHeader header;
    QImage preview;
    // C, M, Y in R, G, B.
    QImage inks;
    // K in R, full coverage in G.
    QImage blackAndCoverage;
};

// Whether the JPEG stream on device has a frame (SOF) of four components;
// the device is only peeked at.
bool hasFourComponentFrame(QIODevice *device);

// Reads the header from the device's current position and returns there.
// False, with libjpeg's reason, when the stream is not a JPEG it can read.
bool readJpegHeader(QIODevice *device, JpegHeader *header, QString *error);

// Decodes a four-component JPEG with libjpeg's defaults (accurate integer
// DCT, fancy upsampling); YCCK is turned into CMYK by libjpeg and the inks
// are inverted back when the Adobe marker says they are stored inverted.
// False, with the reason, for anything else, for corrupt or cut data, and
// for pictures larger than a reader may build (checked before allocating).
bool decodeCmykJpeg(QIODevice *device, CmykJpeg *jpeg, QString *error);
