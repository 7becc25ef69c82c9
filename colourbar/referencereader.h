#pragma once

#include "referencechart.h"

#include <QByteArray>
#include <QString>

// A reference read, or why it was refused: never a patch with made-up values.
struct ReferenceReading {
    ReferenceChart chart;
    // In words, naming the line when one can be found; empty when the reference was read.
    QString error;

    bool ok() const { return error.isEmpty(); }
};

// Reads aims from a CGATS.17 / IT8.7 file with Little CMS: identifiers from
// SAMPLE_ID or SAMPLE_NAME, aims from LAB_L/A/B or else XYZ_X/Y/Z (0 to 100,
// converted to L*a*b* D50), tone values from CMYK_C/M/Y/K when present. The
// first table with aims is used.
ReferenceReading readReferenceFile(const QString &path);
// The same from the text of such a file; fileName only names it in messages.
ReferenceReading readReferenceText(const QByteArray &text, const QString &fileName);
