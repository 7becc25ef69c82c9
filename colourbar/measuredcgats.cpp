#include "measuredcgats.h"

#include "lcmshandles.h"
#include "reporttext.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>

namespace {

QStringList fieldsFor(const ColourBarCheck &check)
{
    QStringList fields{"SAMPLE_ID", "SAMPLE_NAME", "LAB_L", "LAB_A", "LAB_B"};
    const bool tones = !check.patches.isEmpty() && std::all_of(check.patches.begin(), check.patches.end(),
                                                               [](const PatchCheck &p) { return p.reference.tones; });
    if (tones)
        fields << "CMYK_C"
               << "CMYK_M"
               << "CMYK_Y"
               << "CMYK_K";
    return fields;
}

void setRow(cmsHANDLE it8, int row, const PatchCheck &patch, int fieldCount)
{
    const QByteArray id = patch.reference.id.toUtf8();
    cmsIT8SetDataRowCol(it8, row, 0, id.constData());
    cmsIT8SetDataRowCol(it8, row, 1, id.constData());
    // Two decimals, as the program shows every value.
    for (int k = 0; k < 3; ++k)
        cmsIT8SetDataRowCol(it8, row, 2 + k, twoDecimals(patch.measuredLab[size_t(k)]).toLatin1().constData());
    for (int k = 0; k + 5 < fieldCount; ++k)
        cmsIT8SetDataRowCol(it8, row, 5 + k, twoDecimals((*patch.reference.tones)[size_t(k)]).toLatin1().constData());
}

} // namespace

bool saveMeasuredCgats(const ColourBarCheck &check, const QString &path, QString *error)
{
    const It8Handle it8(cmsIT8Alloc(nullptr));
    const QStringList fields = fieldsFor(check);
    cmsIT8SetSheetType(it8.get(), "CGATS.17");
    cmsIT8SetPropertyStr(it8.get(), "ORIGINATOR", "Lumivant");
    cmsIT8SetPropertyStr(it8.get(), "DESCRIPTOR", "Measured colour bar");
    cmsIT8SetPropertyDbl(it8.get(), "NUMBER_OF_FIELDS", fields.size());
    for (int k = 0; k < fields.size(); ++k)
        cmsIT8SetDataFormat(it8.get(), k, fields[k].toLatin1().constData());
    cmsIT8SetPropertyDbl(it8.get(), "NUMBER_OF_SETS", check.patches.size());
    for (int row = 0; row < check.patches.size(); ++row)
        setRow(it8.get(), row, check.patches[row], fields.size());
    if (cmsIT8SaveToFile(it8.get(), QFile::encodeName(path).constData()))
        return true;
    *error = QCoreApplication::translate("ColourBar", "The measured values could not be written to %1.").arg(path);
    return false;
}
