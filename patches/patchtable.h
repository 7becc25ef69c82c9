#pragma once

#include "patchrow.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// The patch table without widgets: its columns, the texts of its cells as
// the panel shows numbers (two decimals, digit for digit), and its exports.
// A row where nothing was counted says so in its first value cell.
class PatchTable
{
public:
    PatchTable(QVector<PatchRow> rows, int numberOfInks, bool lch);

    QStringList headers() const;
    // The cells of every row, in the order of headers().
    QVector<QStringList> cells() const;

    // For the clipboard: a header line and a line per row, cells split by tabs.
    QString tabSeparated() const;
    // RFC 4180, with a header row; lines end in LF.
    QString csv() const;
    // {"patches": [...]} with the values as numbers.
    QByteArray json() const;
    // CGATS.17 as Little CMS writes it: SAMPLE_ID (the row's number),
    // SAMPLE_NAME, LAB_L, LAB_A, LAB_B and, for four inks, CMYK_C to CMYK_K.
    // Rows where nothing was counted are left out. Empty when Little CMS fails.
    QByteArray cgats() const;
    bool writeCgats(const QString &path, QString *error) const;

    // What a row says where its numbers would be.
    static QString noPixelText();

private:
    QStringList rowCells(const PatchRow &row) const;

    QVector<PatchRow> patchRows;
    int inks;
    bool showLch;
};
