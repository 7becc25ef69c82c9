#include "referencereader.h"

#include "cgatsrows.h"
#include "lcmshandles.h"
#include "regularfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QRegularExpression>

#include <cmath>

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
    return field.startsWith("SPECTRAL_") || QRegExp("NM\\d+").exactMatch(field);
}

bool hasAll(const QStringList &fields, const QStringList &wanted)
{
    for (const QString &field : wanted)
        if (!fields.contains(field))
            return false;
    return true;
}

const QStringList labFields{"LAB_L", "LAB_A", "LAB_B"};
const QStringList xyzFields{"XYZ_X", "XYZ_Y", "XYZ_Z"};
const QStringList toneFields{"CMYK_C", "CMYK_M", "CMYK_Y", "CMYK_K"};

// Reads one loaded table into a chart, refusing what cannot be trusted.
class TableReader
{
public:
    TableReader(cmsHANDLE it8, const CgatsRows &rows, int table, const QStringList &fields)
        : it8(it8), rows(rows.dataRows(table)), fields(fields)
    {
    }

    QString read(ReferenceChart *chart)
    {
        const int idField = fields.indexOf("SAMPLE_ID") >= 0 ? fields.indexOf("SAMPLE_ID") : fields.indexOf("SAMPLE_NAME");
        if (idField < 0)
            return tr("it has no SAMPLE_ID or SAMPLE_NAME field to name the patches");
        const int count = int(cmsIT8GetPropertyDbl(it8, "NUMBER_OF_SETS"));
        if (count <= 0)
            return tr("it holds no patch");
        const bool fromLab = hasAll(fields, labFields);
        const bool withTones = hasAll(fields, toneFields);
        QHash<QString, int> firstRow;
        for (int row = 0; row < count; ++row) {
            ReferencePatch patch;
            patch.id = text(row, idField).trimmed();
            if (patch.id.startsWith('"') && patch.id.endsWith('"'))
                patch.id = patch.id.mid(1, patch.id.size() - 2);
            if (patch.id.isEmpty())
                return atRow(row, tr("a patch has no identifier"));
            if (firstRow.contains(patch.id))
                return atRow(row, tr("the identifier %1 is used twice (first at %2)")
                                      .arg(patch.id, rowPlace(firstRow.value(patch.id))));
            firstRow.insert(patch.id, row);
            QString error = fromLab ? readNumbers(row, labFields, patch.lab.data()) : readXyzAsLab(row, &patch.lab);
            if (error.isEmpty() && withTones) {
                std::array<double, 4> tones{};
                error = readNumbers(row, toneFields, tones.data());
                patch.tones = tones;
            }
            if (!error.isEmpty())
                return error;
            chart->patches << patch;
        }
        return QString();
    }

private:
    QString text(int row, int field) const
    {
        const char *value = cmsIT8GetDataRowCol(it8, row, field);
        return value ? QString::fromLatin1(value) : QString();
    }

    QString rowPlace(int row) const
    {
        return row < rows.size() ? tr("line %1").arg(rows[row].line) : tr("row %1").arg(row + 1);
    }

    QString atRow(int row, const QString &reason) const { return rowPlace(row) + ": " + reason; }

    QString readNumbers(int row, const QStringList &wanted, double *numbers) const
    {
        for (int k = 0; k < wanted.size(); ++k) {
            const QString value = text(row, fields.indexOf(wanted[k]));
            bool ok = false;
            numbers[k] = value.toDouble(&ok);
            if (!ok || !std::isfinite(numbers[k]))
                return atRow(row, tr("%1 is \"%2\", not a number").arg(wanted[k], value));
        }
        return QString();
    }

    QString readXyzAsLab(int row, std::array<double, 3> *lab) const
    {
        double xyz[3];
        const QString error = readNumbers(row, xyzFields, xyz);
        if (!error.isEmpty())
            return error;
        const cmsCIEXYZ scaled{xyz[0] / 100.0, xyz[1] / 100.0, xyz[2] / 100.0};
        cmsCIELab converted;
        cmsXYZ2Lab(cmsD50_XYZ(), &converted, &scaled);
        *lab = {converted.L, converted.a, converted.b};
        return QString();
    }

    cmsHANDLE it8;
    QVector<CgatsRow> rows;
    QStringList fields;
};

// Why Little CMS refused the text: a short row (which it sees only as a
// stream out of step) said by its line, else Little CMS's own last words.
QString loadFailure(const CgatsRows &rows, const QStringList &messages)
{
    const std::optional<int> fields = rows.declaredFieldCount();
    if (fields)
        if (const std::optional<CgatsRow> shortRow = rows.firstRowNotOf(0, *fields))
            return tr("line %1: the row has %2 values where NUMBER_OF_FIELDS says %3")
                .arg(shortRow->line)
                .arg(shortRow->values.size())
                .arg(*fields);
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
        if (!hasAll(fields, labFields) && !hasAll(fields, xyzFields)) {
            spectralSeen = spectralSeen || std::any_of(fields.begin(), fields.end(), isSpectral);
            continue;
        }
        if (const std::optional<CgatsRow> shortRow = rows.firstRowNotOf(table, fields.size()))
            return tr("line %1: the row has %2 values where NUMBER_OF_FIELDS says %3")
                .arg(shortRow->line)
                .arg(shortRow->values.size())
                .arg(fields.size());
        return TableReader(it8, rows, table, fields).read(chart);
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
