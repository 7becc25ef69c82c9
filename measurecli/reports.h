#pragma once

#include "filemeasurement.h"

#include <QString>
#include <QVector>

// The three forms of lumivant-measure's report. Values carry the window's two
// decimals; a* and b* never show as "-0.00", as in the window.

// One JSON object, on one line, for a file.
QString jsonLine(const FileMeasurement &measured);

QString csvHeader();
QString csvRow(const FileMeasurement &measured);

// An aligned table for people, in L*a*b* or L*C*h*, with the inks when any
// file has four.
QString textTable(const QVector<FileMeasurement> &measured, bool lch);
