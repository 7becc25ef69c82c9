#pragma once

#include <QString>
#include <QStringList>

enum class ReportFormat { Text, Csv, Json };

// What lumivant-measure was asked to do.
struct MeasureOptions {
    ReportFormat format = ReportFormat::Text;
    bool lch = false;
    int intent = 1; // relative colorimetric, as in the window
    // A profile loaded by hand for every file, in place of the embedded one.
    QString profile;
    QStringList files;
};

// The options, or what to answer at once: help, version or a usage error
// (printed here, with exit status 0 or 2).
struct ParsedOptions {
    bool exitNow = false;
    int exitCode = 0;
    MeasureOptions options;
};

ParsedOptions parseMeasureOptions(const QStringList &arguments);
