#pragma once

#include <QPoint>
#include <QRect>

// How the patches of a bar follow one another in the grid.
enum class GridOrder { RowMajor, ColumnMajor };
enum class GridCorner { TopLeft, TopRight, BottomLeft, BottomRight };

// A rectangle drawn around a colour bar, cut into rows × columns cells.
struct GridLayout {
    // In image pixels.
    QRect area;
    int rows = 1;
    int columns = 1;
    GridOrder order = GridOrder::RowMajor;
    // The cell of the first patch; the order runs away from it.
    GridCorner start = GridCorner::TopLeft;
    // Per cent of a cell's width and height taken off each side, so that
    // measuring stays clear of the patch edges.
    double insetPercent = 20.0;

    int cellCount() const { return rows * columns; }
    // The (column, row) of the index-th patch.
    QPoint cellOf(int index) const;
    // The measured part of the cell in column, row: the cell less its inset,
    // on whole pixels; empty when the inset leaves nothing.
    QRect measuredRect(int column, int row) const;
};
