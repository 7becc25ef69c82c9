#pragma once

#include "gridlayout.h"
#include "measureoptions.h"

#include <QString>

// The grid of --grid: X,Y,W,H,ROWSxCOLS[,ORDER][,INSET] in image pixels,
// ORDER "rows" (row-major from the top left, the default) or "columns",
// INSET a per cent of each cell taken off each side (default 20, below 50).
// False when text is not one.
bool parseGrid(const QString &text, GridLayout *grid);

// What --reference, with --grid or a patch set already in options, and
// --tolerances (the resource directory's first example set when empty) ask:
// the reference and the tolerances read, and options' patches made the
// reference's, in its order. The problem in words when any of it cannot be
// used; empty when options are set up.
QString setUpBarCheck(const QString &referencePath, const std::optional<GridLayout> &grid, const QString &tolerancePath,
                      const QString &resourceDir, MeasureOptions *options);
