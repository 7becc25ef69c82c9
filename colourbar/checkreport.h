#pragma once

#include "colourbarcheck.h"

#include <QString>

// The check's rows as text for other programs: CSV tables and JSON with the
// values' two decimals, as lumivant-measure writes them.

// The keys a checked patch adds to a patch row, without braces:
// "reference":{"L","a","b"},"dE76","dE00","dL","dC","dH","pass" (true, false or null).
QString comparisonJsonKeys(const PatchCheck &patch);
// {"name","covers","metric","statistic","value","limit","pass","patches","failing","skipped","note"}:
// value and pass are null for a skipped rule.
QString ruleJson(const RuleOutcome &rule);
// The verdict's object: "file", "verdict" ("pass" or "fail"), "rules", "worstRule", "worstPatch", "notes".
QString verdictJson(const ColourBarCheck &check, const QString &file);
// The whole check as one JSON document: "file", "patches" (identifier, region,
// pixels, measured L*a*b*, uniformity and the comparison keys), and the verdict's keys.
QString checkJson(const ColourBarCheck &check, const QString &file);

// One row per patch under a header row; lines end in LF.
QString patchRowsCsv(const ColourBarCheck &check);
// One row per rule under a header row; a rule's patches are separated by blanks.
QString ruleRowsCsv(const ColourBarCheck &check);

// "PASS" or "FAIL", with the worst rule's value and limit and the worst patch.
QString verdictLine(const ColourBarCheck &check);
// The line's two parts: "PASS", "FAIL" or "NO VERDICT"; and the worst rule
// with its value and limit and the worst patch, or why there is no verdict.
QString verdictWord(const ColourBarCheck &check);
QString verdictDetail(const ColourBarCheck &check);
