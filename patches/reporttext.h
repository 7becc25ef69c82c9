#pragma once

#include <QString>

#include <array>

// The pieces the reports of patches and colour bars are made of.

// Two decimals, as every value is shown; a value that rounds to zero reads
// "0.00", never "-0.00".
QString twoDecimals(double value);
// A JSON string literal: quotes, backslashes and every control character escaped.
QString jsonText(const QString &text);
// A CSV field, quoted as RFC 4180 asks when it holds a separator, a quote or a line end.
QString csvText(const QString &text);
// {"L":…,"a":…,"b":…} with two decimals.
QString jsonLab(const std::array<double, 3> &lab);
