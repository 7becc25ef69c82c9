#include "TiffImageHandler.h"

#include "tiffdecoder.h"

#include <QColorSpace>
#include <QIODevice>
#include <QVariant>

bool TiffImageHandler::canRead(QIODevice *device)
{
    if (!device)
        return false;
    const QByteArray magic = device->peek(4);
    return magic == QByteArray("II*\0", 4) || magic == QByteArray("MM\0*", 4) || magic == QByteArray("II+\0", 4) ||
           magic == QByteArray("MM\0+", 4);
}

bool TiffImageHandler::canRead() const
{
    if (!canRead(device()))
        return false;
    setFormat("tiff");
    return true;
}

TiffHandle TiffImageHandler::open() const
{
    if (!device() || !device()->seek(0))
        return nullptr;
    QString damage;
    TiffHandle tiff = openTiff(device(), &damage);
    if (!damage.isEmpty())
        device()->setProperty("imageReadError", "the file is damaged or cut short: " + damage);
    return tiff;
}

bool TiffImageHandler::scan() const
{
    if (scanned)
        return !pages.isEmpty();
    scanned = true;
    TiffHandle tiff = open();
    if (!tiff)
        return false;
    int index = 0;
    do {
        const TiffDirectory directory = readDirectory(tiff.get(), false);
        directories.push_back(directory);
        const int parts = directory.isFourInkSeparation() ? 3 : 1;
        for (int part = 0; part < parts; ++part)
            pages.push_back({index, part});
        ++index;
    } while (index < maxDirectories && TIFFReadDirectory(tiff.get()));
    return !pages.isEmpty();
}

const TiffDirectory &TiffImageHandler::details(int directory) const
{
    if (detailed != directory) {
        detailed = directory;
        detailedDirectory = directories[directory];
        TiffHandle tiff = open();
        if (tiff && TIFFSetDirectory(tiff.get(), tdir_t(directory)))
            detailedDirectory = readDirectory(tiff.get(), true);
    }
    return detailedDirectory;
}

bool TiffImageHandler::read(QImage *image)
{
    if (!scan() || current < 0 || current >= pages.size())
        return false;
    const Page page = pages[current];
    if (decodedDirectory != page.directory) {
        decoded.clear();
        decodedDirectory = -1;
        TiffHandle tiff = open();
        if (!tiff || !TIFFSetDirectory(tiff.get(), tdir_t(page.directory)))
            return false;
        decoded = decodeDirectory(tiff.get(), directories[page.directory]);
        if (decoded.isEmpty())
            return false;
        decodedDirectory = page.directory;
    }
    if (page.part >= decoded.size())
        return false;
    *image = decoded[page.part];
    const TiffDirectory &directory = details(page.directory);
    image->setText("Description", directory.attributeText());
    if (!directory.iccProfile.isEmpty())
        image->setColorSpace(QColorSpace::fromIccProfile(directory.iccProfile));
    return true;
}

int TiffImageHandler::imageCount() const
{
    return scan() ? pages.size() : 0;
}

bool TiffImageHandler::jumpToImage(int imageNumber)
{
    // A page the file does not have leaves nothing to read.
    current = imageNumber;
    return scan() && imageNumber >= 0 && imageNumber < pages.size();
}

bool TiffImageHandler::jumpToNextImage()
{
    return jumpToImage(current + 1);
}

int TiffImageHandler::currentImageNumber() const
{
    return current;
}

bool TiffImageHandler::supportsOption(ImageOption option) const
{
    return option == Description || option == Size;
}

QVariant TiffImageHandler::option(ImageOption option) const
{
    if (!scan() || current < 0 || current >= pages.size())
        return QVariant();
    const TiffDirectory &directory = details(pages[current].directory);
    if (option == Size)
        return QSize(int(directory.width), int(directory.height));
    if (option == Description)
        return QString("Description: " + directory.attributeText());
    return QVariant();
}
