#pragma once

#include "cgatsrows.h"
#include "referencechart.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <lcms2.h>

// One table of a CGATS file that Little CMS has loaded, read into a chart;
// what cannot be trusted is refused with its line.
class ReferenceTable
{
public:
    // it8 is set to the table; rows are its data rows as written, for their lines; fields its data format.
    ReferenceTable(cmsHANDLE it8, const QVector<CgatsRow> &rows, const QStringList &fields);

    // Whether the fields hold aims: LAB_L/A/B or XYZ_X/Y/Z.
    static bool hasAims(const QStringList &fields);

    // Adds the table's patches to chart; the reason when one cannot be read.
    QString read(ReferenceChart *chart) const;

private:
    QString text(int row, int field) const;
    // The row's line in the file, or its number when the line is not known.
    QString rowPlace(int row) const;
    QString atRow(int row, const QString &reason) const;
    QString readPatch(int row, int idField, ReferencePatch *patch) const;
    QString readNumbers(int row, const QStringList &wanted, double *numbers) const;
    QString readXyzAsLab(int row, std::array<double, 3> *lab) const;

    cmsHANDLE it8;
    QVector<CgatsRow> rows;
    QStringList fields;
};
