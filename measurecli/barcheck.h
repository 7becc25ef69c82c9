#pragma once

#include "colourbarcheck.h"
#include "filemeasurement.h"
#include "measureoptions.h"

#include <QString>
#include <QVector>

// One file's colour bar checked: its patch rows as lumivant-measure reports
// them, and the check of those rows against the reference.
struct FileBarCheck {
    QString file;
    QVector<FileMeasurement> rows;
    // Its error says why the file has no verdict.
    ColourBarCheck check;

    bool judged() const { return check.ok(); }
};

// Measures the options' patches (the reference's, in its order) on file and checks them.
FileBarCheck checkFile(const QString &file, const MeasureOptions &options, const QString &resourceDir);
