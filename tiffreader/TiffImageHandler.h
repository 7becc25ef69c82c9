#pragma once

#include "tiffdirectory.h"

#include <QImage>
#include <QImageIOHandler>
#include <QVector>

// Reads TIFF files for QImageReader. Every directory is an image, except
// that a four-ink separation is three: preview, inks 1-3, ink 4 with coverage.
// Each image carries the text "Description" with its attributes.
class TiffImageHandler : public QImageIOHandler
{
public:
    bool canRead() const override;
    bool read(QImage *image) override;
    int imageCount() const override;
    bool jumpToImage(int imageNumber) override;
    bool jumpToNextImage() override;
    int currentImageNumber() const override;
    QVariant option(ImageOption option) const override;
    bool supportsOption(ImageOption option) const override;

    static bool canRead(QIODevice *device);

private:
    struct Page {
        int directory;
        int part; // which image of a separation's three
    };

    bool scan() const;
    TiffHandle open() const;

    mutable bool scanned = false;
    mutable QVector<Page> pages;
    mutable QVector<TiffDirectory> directories;
    int current = 0;
    // The three images of the separation last decoded, so pages 1 and 2 decode once.
    int decodedDirectory = -1;
    QVector<QImage> decoded;
};
