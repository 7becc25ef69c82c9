#pragma once

#include "averagecolour.h"

#include <QStringList>

// The three values of an average as the panel and the reports show them:
// L*, a*, b* or L*, C*, h*, with two decimals. A tiny negative a* or b* is
// neutral; a minus sign on zero would suggest a cast, so it reads "0.00".
QStringList colourValueTexts(const AverageColour &average, bool lch);
