#pragma once

#include <QColor>
#include <QIcon>
#include <QSize>

// A swatch for a table cell: an icon whose chosen look is its own colour
// too, since a background would give way to the chosen row's and a plain
// icon is tinted.
QIcon swatchIcon(const QColor &colour, QSize size);
