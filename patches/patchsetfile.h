#pragma once

#include "patch.h"

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVector>

// A patch set as read from its file, or why it cannot be used.
struct PatchSetReading {
    QVector<Patch> patches;
    // Names the file and the line; empty when the set was read.
    QString error;

    bool ok() const { return error.isEmpty(); }
};

// Patches fitted to a picture: those reaching outside it are marked clipped,
// with a sentence for each.
struct FittedPatches {
    QVector<Patch> patches;
    QStringList warnings;
};

// The file a set of patches is kept in, to lay the same patches on the next
// proof: {"patches": [{"name", "shape": "rect"|"ellipse", "x", "y", "width",
// "height"}, ...]} in image pixels. Positions and sizes are whole numbers,
// positions from 0 and sizes from 1, neither beyond a million pixels.
class PatchSetFile
{
public:
    static PatchSetReading read(const QString &path);
    // The set read from bytes; fileName names it in errors.
    static PatchSetReading parse(const QByteArray &bytes, const QString &fileName);
    static QByteArray toJson(const QVector<Patch> &patches);
    // Writes the set to path; false, with the reason in error, when it cannot.
    static bool write(const QString &path, const QVector<Patch> &patches, QString *error);

    // The patches laid on a picture: kept whole, and marked clipped when they reach beyond it.
    static FittedPatches fitTo(const QVector<Patch> &patches, const QRect &picture);

    static constexpr int largestCoordinate = 1000000;
};
