#include "JpegImageHandler.h"

#include "jpegcomments.h"

#include <QColorSpace>
#include <QDebug>
#include <QIODevice>
#include <QVariant>

JpegImageHandler::JpegImageHandler() = default;

JpegImageHandler::~JpegImageHandler() = default;

bool JpegImageHandler::canRead(QIODevice *device)
{
    return device && device->isReadable() && device->peek(2) == QByteArray("\xFF\xD8", 2);
}

bool JpegImageHandler::canRead() const
{
    const bool readable = headerRead ? headerValid && !failed : canRead(device());
    if (readable)
        setFormat("jpeg");
    return readable;
}

bool JpegImageHandler::readHeader() const
{
    if (headerRead)
        return headerValid;
    headerRead = true;
    if (!device())
        return false;
    decoder.reset(new JpegDecoder(device()));
    headerValid = decoder->readHeader();
    if (!headerValid)
        qDebug() << "JPEG refused:" << decoder->failure().reason;
    return headerValid;
}

bool JpegImageHandler::fourInks() const
{
    return readHeader() && decoder->header().components == 4;
}

void JpegImageHandler::setTexts(QImage *image) const
{
    if (fourInks()) {
        image->setText("Description", jpegAttributeText(decoder->header()));
    } else {
        for (const auto &text : qtJpegTexts(decoder->header().comments))
            image->setText(text.first, text.second);
    }
    const QStringList sentences = jpegReadingNotes(decoder->header());
    if (!sentences.isEmpty())
        image->setText("Notes", sentences.join('\n'));
}

bool JpegImageHandler::decode()
{
    if (decoded || failed)
        return decoded;
    if (!readHeader() || !decoder->start() || !decodeJpegImages(*decoder, &images)) {
        const QString reason = decoder && decoder->failure() ? decoder->failure().reason
                                                             : QString("not enough memory for the picture");
        qDebug() << "JPEG cannot be decoded:" << reason;
        if (device())
            device()->setProperty("imageReadError", reason);
        failed = true;
        return false;
    }
    decoded = true;
    return true;
}

bool JpegImageHandler::read(QImage *image)
{
    if (!decode() || current < 0 || current >= imageCount())
        return false;
    const QImage all[3] = {images.picture, images.inks, images.blackAndCoverage};
    *image = all[current];
    setTexts(image);
    if (current == 0 && !decoder->header().icc.isEmpty())
        image->setColorSpace(QColorSpace::fromIccProfile(decoder->header().icc));
    return true;
}

int JpegImageHandler::imageCount() const
{
    if (!readHeader())
        return 0;
    return fourInks() ? 3 : 1;
}

bool JpegImageHandler::jumpToImage(int imageNumber)
{
    // An image the file does not have leaves nothing to read.
    current = imageNumber;
    return imageNumber >= 0 && imageNumber < imageCount();
}

bool JpegImageHandler::jumpToNextImage()
{
    return jumpToImage(current + 1);
}

int JpegImageHandler::currentImageNumber() const
{
    return current;
}

bool JpegImageHandler::supportsOption(ImageOption option) const
{
    return option == Description || option == Size || option == ImageFormat;
}

QVariant JpegImageHandler::option(ImageOption option) const
{
    if (!readHeader())
        return QVariant();
    const JpegHeader &header = decoder->header();
    if (option == Size)
        return QSize(header.width, header.height);
    if (option == ImageFormat)
        return header.components == 1 ? QImage::Format_Grayscale8 : QImage::Format_RGB32;
    if (option == Description)
        return fourInks() ? QString("Description: " + jpegAttributeText(decoder->header())) : qtJpegDescriptionOption(header.comments);
    return QVariant();
}
