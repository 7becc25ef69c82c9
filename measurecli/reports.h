#pragma once

#include "filemeasurement.h"

#include <QString>
#include <QVector>

// The forms of lumivant-measure's report. Values carry the window's two
// decimals; a* and b* never show as "-0.00", as in the window. A patch's row
// adds its name, the rectangle measured and the spread.

// One JSON object, on one line, for a file or a patch of it.
QString jsonLine(const FileMeasurement &measured);

// CSV fields are quoted as RFC 4180 asks; a file's notes share one field.
QString csvNoteSeparator();
// The patch columns come before the notes, only when rows are patches.
QString csvHeader(bool patches);
QString csvRow(const FileMeasurement &measured);

// Text for a terminal: control characters, line separators and the kept
// bytes of a file name that is not UTF-8 as escapes (\r, \n, \t, \x1b,
// \u2028), so no name can move the cursor or break a line.
QString terminalText(const QString &text);

// An aligned table for people, in L*a*b* or L*C*h*, with the inks when any
// file has four, and each file's notes under its row.
QString textTable(const QVector<FileMeasurement> &measured, bool lch);

// CGATS.17 with SAMPLE_ID, SAMPLE_NAME (the patch, or the file for a whole
// picture) and LAB_L, LAB_A, LAB_B, with CMYK_C to CMYK_K when every
// measured row has four inks. Failed rows are left out.
QByteArray cgatsReport(const QVector<FileMeasurement> &measured);
