#include "referencereader.h"

#include "cgatsrows.h"
#include "lcmshandles.h"
#include "referencetable.h"
#include "regularfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ColourBar", text);
}

// A reference is a few hundred patches; anything far bigger is not one.
constexpr qint64 largestReference = 64 * 1024 * 1024;

// Little CMS tells why it refused a file only through its error handler,
// which a context of our own routes into messages.
void keepMessage(cmsContext context, cmsUInt32Number, const char *text)
{
    static_cast<QStringList *>(cmsGetContextUserData(context))->append(QString::fromUtf8(text));
}

// Little CMS words a syntax error as "<file name>: Line 3, <what>" (with an
// empty name for text in memory), at times with a literal "\n" at its end.
QString tidyMessage(QString message)
{
    message = message.trimmed();
    if (message.endsWith("\\n"))
        message.chop(2);
    while (message.endsWith('.'))
        message.chop(1);
    static const QRegularExpression place("^[^,]*:\\s*Line (\\d+),\\s*(.*)$");
    const QRegularExpressionMatch match = place.match(message);
    return match.hasMatch() ? tr("line %1: %2").arg(match.captured(1), match.captured(2)) : message;
}

QStringList dataFormat(cmsHANDLE it8)
{
    char **names = nullptr;
    const int count = cmsIT8EnumDataFormat(it8, &names);
    QStringList fields;
    for (int i = 0; i < count; ++i)
        fields << QString::fromLatin1(names[i]).toUpper();
    return fields;
}

bool isSpectral(const QString &field)
{
    static const QRegularExpression wavelength("^NM\\d+$");
    return field.startsWith("SPECTRAL_") || wavelength.match(field).hasMatch();
}

QString shortRowReason(const CgatsRow &row, int fields)
{
    return tr("line %1: the row has %2 values where NUMBER_OF_FIELDS says %3")
        .arg(row.line)
        .arg(row.values.size())
        .arg(fields);
}

// Why Little CMS refused the text: a short row (which it sees only as a
// stream out of step) said by its line, else Little CMS's own last words.
QString loadFailure(const CgatsRows &rows, const QStringList &messages)
{
    const std::optional<int> fields = rows.declaredFieldCount();
    if (fields)
        if (const std::optional<CgatsRow> shortRow = rows.firstRowNotOf(0, *fields))
            return shortRowReason(*shortRow, *fields);
    return messages.isEmpty() ? tr("Little CMS cannot read it as CGATS") : tidyMessage(messages.last());
}

QString readTables(cmsHANDLE it8, const CgatsRows &rows, ReferenceChart *chart)
{
    bool spectralSeen = false;
    const int tables = int(cmsIT8TableCount(it8));
    for (int table = 0; table < tables; ++table) {
        if (cmsIT8SetTable(it8, cmsUInt32Number(table)) < 0)
            continue;
        const QStringList fields = dataFormat(it8);
        if (fields.isEmpty())
            return tr("it has no data format (NUMBER_OF_FIELDS and BEGIN_DATA_FORMAT)");
        if (!ReferenceTable::hasAims(fields)) {
            spectralSeen = spectralSeen || std::any_of(fields.begin(), fields.end(), isSpectral);
            continue;
        }
        if (const std::optional<CgatsRow> shortRow = rows.firstRowNotOf(table, fields.size()))
            return shortRowReason(*shortRow, fields.size());
        return ReferenceTable(it8, rows.dataRows(table), fields).read(chart);
    }
    if (spectralSeen)
        return tr("it holds spectral values only; aims are needed as LAB_L, LAB_A, LAB_B or XYZ_X, XYZ_Y, XYZ_Z");
    return tr("it has no aims: no LAB_L, LAB_A, LAB_B or XYZ_X, XYZ_Y, XYZ_Z fields");
}

} // namespace

ReferenceReading readReferenceText(const QByteArray &text, const QString &fileName)
{
    ReferenceReading reading;
    reading.chart.file = fileName;
    QStringList messages;
    const ContextHandle context(cmsCreateContext(nullptr, &messages));
    cmsSetLogErrorHandlerTHR(context.get(), keepMessage);
    const CgatsRows rows(text);
    const It8Handle it8(cmsIT8LoadFromMem(context.get(), text.constData(), cmsUInt32Number(text.size())));
    const QString reason = it8 ? readTables(it8.get(), rows, &reading.chart) : loadFailure(rows, messages);
    if (!reason.isEmpty()) {
        reading.chart.patches.clear();
        reading.error = tr("The reference %1 cannot be used: %2.").arg(fileName, reason);
    }
    return reading;
}

ReferenceReading readReferenceFile(const QString &path)
{
    QString reason = notRegularFileReason(path);
    QFile file(path);
    if (reason.isEmpty() && !file.open(QIODevice::ReadOnly))
        reason = file.errorString();
    else if (reason.isEmpty() && file.size() > largestReference)
        reason = tr("it is far too large for a reference");
    if (!reason.isEmpty()) {
        ReferenceReading reading;
        reading.chart.file = path;
        reading.error = tr("The reference %1 cannot be used: %2.").arg(path, reason);
        return reading;
    }
    return readReferenceText(file.readAll(), path);
}
