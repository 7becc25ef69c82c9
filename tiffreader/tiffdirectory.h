#pragma once

#include <QByteArray>
#include <QString>

#include <tiffio.h>

#include <memory>

class QIODevice;

// libtiff reading from a QIODevice; closing the handle leaves the device open.
struct TiffCloser {
    void operator()(TIFF *tiff) const { TIFFClose(tiff); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

// Nothing when libtiff cannot open the file, or when it could not read all
// of the first directory; then damage, if given, says what it could not read.
TiffHandle openTiff(QIODevice *device, QString *damage = nullptr);

// Routes libtiff's warnings and errors to the debug stream (never to stderr).
void routeTiffMessagesToDebug();

// What one directory (page) of a TIFF holds, as far as decoding needs it.
struct TiffDirectory {
    quint32 width = 0;
    quint32 height = 0;
    quint16 samplesPerPixel = 1;
    quint16 bitsPerSample = 1;
    quint16 sampleFormat = SAMPLEFORMAT_UINT;
    quint16 photometric = PHOTOMETRIC_MINISBLACK;
    quint16 planarConfig = PLANARCONFIG_CONTIG;
    quint16 extraSamples = 0;
    bool alpha = false;
    bool associatedAlpha = false;
    int numberOfInks = 0;
    QString imageDescription;
    QByteArray iccProfile;

    // Colour samples (without extra samples): the ink count of a separation.
    int colourSamples() const { return samplesPerPixel - extraSamples; }
    bool isFourInkSeparation() const { return photometric == PHOTOMETRIC_SEPARATED && numberOfInks == 4; }
    // The photometric code of the picture as it is delivered: palette and
    // YCbCr pictures arrive as RGB, white-is-zero grey as black-is-zero grey.
    int deliveredPhotometric() const;
    // "NumberOfInks:n;Photometric:p", then the producer's own description,
    // so that a key the producer states wins.
    QString attributeText() const;
};

// The current directory; its description and ICC profile only withTexts,
// since a scan of many directories needs neither.
TiffDirectory readDirectory(TIFF *tiff, bool withTexts);
