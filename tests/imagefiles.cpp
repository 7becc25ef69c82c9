#include "imagefiles.h"

#include <QColorSpace>
#include <QFile>
#include <QImageWriter>

QString writeJpeg(const QString &dir, const QString &name, QImage image, const QString &description,
                  const QByteArray &icc)
{
    const QString path = dir + "/" + name;
    if (!icc.isEmpty())
        image.setColorSpace(QColorSpace::fromIccProfile(icc));
    QImageWriter writer(path, "jpeg");
    writer.setQuality(100);
    if (!description.isEmpty())
        writer.setText("Description", description);
    writer.write(image);
    return path;
}

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

QImage solidImage(int width, int height, QColor colour, QImage::Format format)
{
    QImage image(width, height, format);
    image.fill(colour);
    return image;
}
