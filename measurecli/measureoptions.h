#pragma once

#include "patch.h"

#include <QString>
#include <QStringList>
#include <QVector>

enum class ReportFormat { Text, Csv, Json, Cgats };

// What lumivant-measure was asked to do.
struct MeasureOptions {
    ReportFormat format = ReportFormat::Text;
    bool lch = false;
    int intent = 1; // relative colorimetric, as in the window
    // A profile loaded by hand for every file, in place of the embedded one.
    QString profile;
    QStringList files;
    // The patches of --patches, then those of --region; none: the whole picture is measured.
    QVector<Patch> patches;
};

// The options, or what to answer at once: help, version or a usage error
// (printed here, with exit status 0 or 2; a patch set that cannot be used
// exits with 2 too, before any image is read).
struct ParsedOptions {
    bool exitNow = false;
    int exitCode = 0;
    MeasureOptions options;
};

ParsedOptions parseMeasureOptions(const QStringList &arguments);
