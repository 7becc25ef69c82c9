#include "JpegImageHandler.h"

#include "jpegcomments.h"

#include <QColorSpace>
#include <QDebug>
#include <QIODevice>
#include <QVariant>

bool JpegImageHandler::canRead() const
{
    if (!hasFourComponentFrame(device()))
        return false;
    setFormat("jpeg");
    return true;
}

bool JpegImageHandler::readHeader() const
{
    if (headerRead)
        return headerValid;
    headerRead = true;
    QString error;
    headerValid = device() && readJpegHeader(device(), &header, &error) && header.components == 4;
    if (!headerValid)
        qDebug() << "JPEG refused:" << error;
    return headerValid;
}

QString JpegImageHandler::attributeText() const
{
    QString text = "NumberOfInks:4;Photometric:5";
    const QString description = qtJpegDescription(header.comments);
    if (!description.isEmpty())
        text += ";" + description;
    return text;
}

bool JpegImageHandler::read(QImage *image)
{
    if (current < 0 || current > 2 || !readHeader())
        return false;
    if (!decoded) {
        QString error;
        if (!decodeCmykJpeg(device(), &separation, &error)) {
            qDebug() << "JPEG cannot be decoded:" << error;
            return false;
        }
        decoded = true;
    }
    const QImage images[3] = {separation.preview, separation.inks, separation.blackAndCoverage};
    *image = images[current];
    image->setText("Description", attributeText());
    if (current == 0 && !separation.header.icc.isEmpty())
        image->setColorSpace(QColorSpace::fromIccProfile(separation.header.icc));
    return true;
}

int JpegImageHandler::imageCount() const
{
    return readHeader() ? 3 : 0;
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
    return option == Description || option == Size;
}

QVariant JpegImageHandler::option(ImageOption option) const
{
    if (!readHeader())
        return QVariant();
    if (option == Size)
        return QSize(header.width, header.height);
    if (option == Description)
        return QString("Description: " + attributeText());
    return QVariant();
}
