#include "jpegcomments.h"

#include "jpegdecoder.h"

namespace {

const QString frameAttributes = "NumberOfInks:4;Photometric:5";

// Whether a "key:value" part, read as the attribute parser reads it, gives
// another NumberOfInks or Photometric than a four-ink frame has.
bool contradictsFrame(const QString &part)
{
    const QStringList pieces = part.split(':', Qt::SkipEmptyParts);
    if (pieces.size() != 2)
        return false;
    const int value = pieces[1].toInt(nullptr, 10);
    return (pieces[0] == "NumberOfInks" && value != 4) || (pieces[0] == "Photometric" && value != 5);
}

} // namespace

QList<QPair<QString, QString>> qtJpegTexts(const QList<QByteArray> &comments)
{
    QList<QPair<QString, QString>> texts;
    for (const QByteArray &comment : comments) {
        const QString text = QString::fromUtf8(comment);
        const int colon = text.indexOf(QLatin1String(": "));
        if (colon < 0 || text.indexOf(' ') < colon)
            texts.append({"Description", text});
        else
            texts.append({text.left(colon), text.mid(colon + 2)});
    }
    return texts;
}

QString qtJpegDescriptionOption(const QList<QByteArray> &comments)
{
    QStringList pairs;
    for (const auto &text : qtJpegTexts(comments))
        pairs << text.first + ": " + text.second.simplified();
    return pairs.join("\n\n");
}

QString qtJpegDescription(const QList<QByteArray> &comments)
{
    QString description;
    for (const auto &text : qtJpegTexts(comments))
        if (text.first == QLatin1String("Description"))
            description = text.second.simplified();
    return description;
}

QString fourInkAttributeText(const QList<QByteArray> &comments, QStringList *notes)
{
    const QString description = qtJpegDescription(comments);
    if (description.isEmpty())
        return frameAttributes;
    QStringList kept;
    for (const QString &part : description.split(';')) {
        if (!contradictsFrame(part)) {
            kept << part;
            continue;
        }
        *notes << QString("The file's comment gives %1, but its picture holds four inks; the picture's %2 is used.")
                      .arg(part, frameAttributes);
    }
    return kept.isEmpty() ? frameAttributes : frameAttributes + ";" + kept.join(';');
}

QStringList jpegReadingNotes(const JpegHeader &header)
{
    QStringList notes;
    if (header.components == 4)
        fourInkAttributeText(header.comments, &notes);
    if (!header.iccProblem.isEmpty())
        notes << QString("The profile embedded in the file is damaged (%1); the default profile is used instead.")
                     .arg(header.iccProblem);
    return notes;
}

QString jpegAttributeText(const JpegHeader &header)
{
    QStringList ignored;
    return header.components == 4 ? fourInkAttributeText(header.comments, &ignored) : qtJpegDescription(header.comments);
}
