#pragma once

#include "averagecolour.h"
#include "measureoptions.h"
#include "patchrow.h"

#include <QString>
#include <QStringList>

#include <array>

// What measuring one file gave: its numbers, or why there are none.
struct FileMeasurement {
    QString file;
    // In words, empty when the file was measured.
    QString error;
    int width = 0;
    int height = 0;
    int numberOfInks = 0;
    // The profile the numbers were measured through, named as the window names it.
    QString profile;
    qint64 pixels = 0;
    AverageColour average;
    // The average on an sRGB monitor.
    std::array<int, 3> srgb{};
    // What the window's status bar would tell of this file: fallbacks taken
    // while reading, and that no pixel was counted.
    QStringList notes;
    // Set on the row of a patch: the patch and what measuring it gave; the
    // numbers above are then the patch's and width and height the picture's.
    std::optional<PatchRow> patch;

    bool ok() const { return error.isEmpty(); }
};

// Measures file as the window would after opening it (and, with a profile in
// the options, after loading that profile by hand for it): one row per patch
// of the options, or the whole picture's alone when they have none. A patch with nothing counted, or nothing of it
// on the picture, is a failed row.
QVector<FileMeasurement> measureFileRows(const QString &file, const MeasureOptions &options,
                                         const QString &resourceDir);
