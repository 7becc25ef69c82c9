#pragma once

#include "jpegdecoder.h"
#include "jpegimages.h"

#include <QImageIOHandler>
#include <QStringList>

#include <memory>

// Reads JPEGs for QImageReader with one JpegDecoder, the header once and
// the picture once. Grey and RGB JPEGs give the picture, texts and colour
// space Qt's own reader gives. Four-ink (CMYK and YCCK) JPEGs are a
// separation, the way the TIFF reader delivers a four-ink TIFF: the
// preview, inks 1-3 in red, green, blue, and ink 4 with the coverage; each
// image carries the text "Description" ("NumberOfInks:4;Photometric:5",
// then the file's comment) and the preview the embedded profile.
// What was silently put right comes as the image text "Notes", one sentence
// a line; why a read failed, as the device's property "imageReadError".
class JpegImageHandler : public QImageIOHandler
{
public:
    JpegImageHandler();
    ~JpegImageHandler() override;

    bool canRead() const override;
    bool read(QImage *image) override;
    int imageCount() const override;
    bool jumpToImage(int imageNumber) override;
    bool jumpToNextImage() override;
    int currentImageNumber() const override;
    QVariant option(ImageOption option) const override;
    bool supportsOption(ImageOption option) const override;

    // Whether the device starts like a JPEG; it is only peeked at.
    static bool canRead(QIODevice *device);

private:
    bool readHeader() const;
    bool decode();
    bool fourInks() const;
    void setTexts(QImage *image) const;

    mutable std::unique_ptr<JpegDecoder> decoder;
    mutable bool headerRead = false;
    mutable bool headerValid = false;
    int current = 0;
    bool decoded = false;
    bool failed = false;
    JpegImages images;
};
