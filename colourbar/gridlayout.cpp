#include "gridlayout.h"

#include <cmath>

QPoint GridLayout::cellOf(int index) const
{
    int column = order == GridOrder::RowMajor ? index % columns : index / rows;
    int row = order == GridOrder::RowMajor ? index / columns : index % rows;
    if (start == GridCorner::TopRight || start == GridCorner::BottomRight)
        column = columns - 1 - column;
    if (start == GridCorner::BottomLeft || start == GridCorner::BottomRight)
        row = rows - 1 - row;
    return {column, row};
}

QRect GridLayout::measuredRect(int column, int row) const
{
    const double cellWidth = double(area.width()) / columns;
    const double cellHeight = double(area.height()) / rows;
    const double insetX = cellWidth * insetPercent / 100.0;
    const double insetY = cellHeight * insetPercent / 100.0;
    const int left = int(std::lround(area.x() + column * cellWidth + insetX));
    const int right = int(std::lround(area.x() + (column + 1) * cellWidth - insetX));
    const int top = int(std::lround(area.y() + row * cellHeight + insetY));
    const int bottom = int(std::lround(area.y() + (row + 1) * cellHeight - insetY));
    if (right <= left || bottom <= top)
        return QRect();
    return QRect(left, top, right - left, bottom - top);
}
