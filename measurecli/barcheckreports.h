#pragma once

#include "barcheck.h"

#include <QString>

// lumivant-measure's forms of a colour bar check: each file's patch rows
// with their comparison, then its verdict.

// One JSON object per line: every patch row with "reference", "dE76",
// "dE00", "dL", "dC", "dH" and "pass" added, then the verdict's object with
// "file", "verdict" ("pass", "fail", or null with "error" when the file
// could not be judged) and "rules".
QString barCheckJson(const FileBarCheck &checked);

// The patch columns, then referenceL … pass, verdict and rules; a file's
// verdict row comes after its patch rows, with only file, ok, error,
// verdict and rules ("name: value / limit pass|fail|skipped", joined by " | ").
QString barCheckCsvHeader();
QString barCheckCsv(const FileBarCheck &checked);

// For people: the verdict line, the rules, and the patches' differences.
QString barCheckText(const FileBarCheck &checked);
