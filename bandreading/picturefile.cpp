#include "picturefile.h"

#include "jpegpicturefile.h"
#include "readerpicturefile.h"
#include "tiffpicturefile.h"

#include <QFile>

namespace {

enum class Kind { Tiff, Jpeg, Other };

Kind kindOf(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return Kind::Other;
    const QByteArray magic = file.read(4);
    if (magic == QByteArray("II*\0", 4) || magic == QByteArray("MM\0*", 4) || magic == QByteArray("II+\0", 4) ||
        magic == QByteArray("MM\0+", 4))
        return Kind::Tiff;
    return magic.startsWith("\xFF\xD8") ? Kind::Jpeg : Kind::Other;
}

} // namespace

std::unique_ptr<PictureFile> openPictureFile(const QString &fileName, WorkControl *control, qint64 bandPixels)
{
    switch (kindOf(fileName)) {
    case Kind::Tiff: {
        auto tiff = std::make_unique<TiffPictureFile>(fileName, control, bandPixels);
        // Codings the band decoder does not read go to Qt's readers whole.
        if (tiff->isOpen())
            return tiff;
        break;
    }
    case Kind::Jpeg:
        return std::make_unique<JpegPictureFile>(fileName, control);
    case Kind::Other:
        break;
    }
    return std::make_unique<ReaderPictureFile>(fileName, control);
}
