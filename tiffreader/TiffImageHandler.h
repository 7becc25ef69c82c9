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
    // A directory with its description and ICC profile, read when asked for.
    const TiffDirectory &details(int directory) const;

    // More directories than any real file has; the rest of a file is not scanned.
    static constexpr int maxDirectories = 65536;

    mutable bool scanned = false;
    mutable QVector<Page> pages;
    // Without description and profile: a file may repeat large ones in every directory.
    mutable QVector<TiffDirectory> directories;
    mutable int detailed = -1;
    mutable TiffDirectory detailedDirectory;
    int current = 0;
    // The three images of the separation last decoded, so pages 1 and 2 decode once.
    int decodedDirectory = -1;
    QVector<QImage> decoded;
};
