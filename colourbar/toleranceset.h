#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// Which patches a rule judges. Paper, solids, overprints and greys are found
// by the reference's tone values.
enum class Coverage { All, Listed, Paper, Solids, Overprints, Greys };
enum class ToleranceMetric { DeltaE76, DeltaE00, AbsoluteDeltaH };
// Each: every covered patch on its own; the others judge the covered patches together.
enum class ToleranceStatistic { Each, Mean, Max, P95 };

struct ToleranceRule {
    QString name;
    Coverage coverage = Coverage::All;
    // The identifiers of a Listed rule.
    QStringList listed;
    ToleranceMetric metric = ToleranceMetric::DeltaE76;
    ToleranceStatistic statistic = ToleranceStatistic::Each;
    double limit = 0.0;
};

// A set of rules, kept as a small JSON file the user can edit:
// {"name": ..., "comment": ..., "rules": [{"name", "covers", "metric", "statistic", "limit"}, ...]}
// with covers "all", "paper", "solids", "overprints", "greys" or a list of
// identifiers; metric "dE76", "dE00" or "dH" (|ΔH*|); statistic "each", "mean", "max" or "p95".
struct ToleranceSet {
    QString name;
    QString comment;
    QVector<ToleranceRule> rules;
};

struct ToleranceReading {
    ToleranceSet set;
    QString error;

    bool ok() const { return error.isEmpty(); }
};

// Unknown keys and values are refused with their place, not ignored: a
// mistyped key would otherwise silently loosen a check.
ToleranceReading readToleranceText(const QByteArray &json, const QString &fileName);
ToleranceReading readToleranceFile(const QString &path);

// The tolerance sets that come with the program, in resourceDir/tolerances:
// the one that applies when none is chosen first, then the others by file name.
QStringList shippedToleranceFiles(const QString &resourceDir);

// The words of the file for each choice, as the reports write them.
QString metricKey(ToleranceMetric metric);
QString statisticKey(ToleranceStatistic statistic);
QString coverageKey(Coverage coverage);
