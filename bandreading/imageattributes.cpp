#include "imageattributes.h"

#include <QStringList>

ImageAttributes parseAttributes(const QString &description)
{
    ImageAttributes attributes;
    for (const QString &part : description.split(';', Qt::SkipEmptyParts)) {
        const QStringList pieces = part.split(':', Qt::SkipEmptyParts);
        if (pieces.size() == 2)
            attributes.insert(pieces[0], pieces[1].toInt(nullptr, 10));
    }
    return attributes;
}
