#include "jpegcomments.h"

QString qtJpegDescription(const QList<QByteArray> &comments)
{
    QString description;
    for (const QByteArray &comment : comments) {
        const QString text = QString::fromUtf8(comment);
        const int colon = text.indexOf(QLatin1String(": "));
        const bool keyed = colon >= 0 && (text.indexOf(' ') < 0 || text.indexOf(' ') > colon);
        if (!keyed)
            description = text.simplified();
        else if (text.left(colon) == QLatin1String("Description"))
            description = text.mid(colon + 2).simplified();
    }
    return description;
}
