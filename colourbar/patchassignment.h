#pragma once

#include "gridlayout.h"
#include "patch.h"
#include "referencechart.h"

#include <QString>
#include <QVector>

// The patches to measure, one per reference patch and in its order, or why
// the layout does not fit the reference.
struct PatchAssignment {
    QVector<Patch> patches;
    QString error;

    bool ok() const { return error.isEmpty(); }
};

// The grid's cells named by the reference's identifiers in the grid's order.
PatchAssignment assignGrid(const ReferenceChart &reference, const GridLayout &grid);
// A saved patch set used as it stands: its names must be the reference's identifiers, each once.
PatchAssignment assignPatchSet(const ReferenceChart &reference, const QVector<Patch> &set);
