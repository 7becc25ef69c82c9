#include "referencetable.h"

#include <QCoreApplication>
#include <QHash>

#include <cmath>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ColourBar", text);
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

} // namespace

ReferenceTable::ReferenceTable(cmsHANDLE it8, const QVector<CgatsRow> &rows, const QStringList &fields)
    : it8(it8), rows(rows), fields(fields)
{
}

bool ReferenceTable::hasAims(const QStringList &fields)
{
    return hasAll(fields, labFields) || hasAll(fields, xyzFields);
}

QString ReferenceTable::read(ReferenceChart *chart) const
{
    const int idField = fields.contains("SAMPLE_ID") ? fields.indexOf("SAMPLE_ID") : fields.indexOf("SAMPLE_NAME");
    if (idField < 0)
        return tr("it has no SAMPLE_ID or SAMPLE_NAME field to name the patches");
    const int count = int(cmsIT8GetPropertyDbl(it8, "NUMBER_OF_SETS"));
    if (count <= 0)
        return tr("it holds no patch");
    QHash<QString, int> firstRow;
    for (int row = 0; row < count; ++row) {
        ReferencePatch patch;
        const QString error = readPatch(row, idField, &patch);
        if (!error.isEmpty())
            return error;
        if (firstRow.contains(patch.id))
            return atRow(
                row,
                tr("the identifier %1 is used twice (first at %2)").arg(patch.id, rowPlace(firstRow.value(patch.id))));
        firstRow.insert(patch.id, row);
        chart->patches << patch;
    }
    return QString();
}

QString ReferenceTable::readPatch(int row, int idField, ReferencePatch *patch) const
{
    patch->id = text(row, idField).trimmed();
    if (patch->id.size() >= 2 && patch->id.startsWith('"') && patch->id.endsWith('"'))
        patch->id = patch->id.mid(1, patch->id.size() - 2);
    if (patch->id.isEmpty())
        return atRow(row, tr("a patch has no identifier"));
    QString error =
        hasAll(fields, labFields) ? readNumbers(row, labFields, patch->lab.data()) : readXyzAsLab(row, &patch->lab);
    if (error.isEmpty() && hasAll(fields, toneFields)) {
        std::array<double, 4> tones{};
        error = readNumbers(row, toneFields, tones.data());
        patch->tones = tones;
    }
    return error;
}

QString ReferenceTable::text(int row, int field) const
{
    const char *value = cmsIT8GetDataRowCol(it8, row, field);
    return value ? QString::fromLatin1(value) : QString();
}

QString ReferenceTable::rowPlace(int row) const
{
    return row < rows.size() ? tr("line %1").arg(rows[row].line) : tr("row %1").arg(row + 1);
}

QString ReferenceTable::atRow(int row, const QString &reason) const
{
    return rowPlace(row) + ": " + reason;
}

QString ReferenceTable::readNumbers(int row, const QStringList &wanted, double *numbers) const
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

QString ReferenceTable::readXyzAsLab(int row, std::array<double, 3> *lab) const
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
