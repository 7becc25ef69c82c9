#pragma once

#include <QMap>
#include <QString>

using ImageAttributes = QMap<QString, int>;

// The attributes of an image's "Description" text: "key:value" parts
// separated by ";". A part with other than exactly two non-empty pieces is
// ignored, a value that is not a decimal number reads 0, and a later key
// overwrites an earlier one. Nothing is trimmed; keys are case-sensitive.
ImageAttributes parseAttributes(const QString &description);

// The channel count an image states ("NumberOfInks"), 0 when it states none.
inline int numberOfInks(const ImageAttributes &attributes)
{
    return attributes.value("NumberOfInks");
}
