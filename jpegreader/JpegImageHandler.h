#pragma once

#include "cmykjpeg.h"

#include <QImageIOHandler>

// Reads four-component (CMYK or YCCK) JPEGs as a separation, the way the TIFF
// reader delivers a four-ink TIFF: the preview, inks 1-3 in red, green,
// blue, and ink 4 with the coverage; each image carries the text
// "Description" ("NumberOfInks:4;Photometric:5", then the file's comment)
// and the preview the embedded profile.
class JpegImageHandler : public QImageIOHandler
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

private:
    bool readHeader() const;
    QString attributeText() const;

    mutable bool headerRead = false;
    mutable bool headerValid = false;
    mutable JpegHeader header;
    int current = 0;
    bool decoded = false;
    CmykJpeg separation;
};
