#pragma once

#include "averagecolour.h"

#include <QStringList>

// The three values of an average as the panel and the reports show them:
// L*, a*, b* or L*, C*, h*, with two decimals. A tiny negative a* or b* is
// neutral; a minus sign on zero would suggest a cast, so it reads "0.00".
QStringList colourValueTexts(const AverageColour &average, bool lch);

// One pixel's source values as a user reads them: "C 100.0% M 0.0% Y 0.0% K 0.0%",
// "R 255 G 0 B 0", "Grey 128" or the levels of each channel; levels of
// 16-bit samples keep two decimals.
QString sourceValuesText(const PixelValues &values, int numberOfInks);
