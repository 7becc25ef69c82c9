#pragma once

#include "labdifference.h"
#include "patch.h"
#include "patchmeasurement.h"
#include "referencechart.h"
#include "toleranceset.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// One patch measured and set against its aim.
struct PatchCheck {
    ReferencePatch reference;
    Patch patch;
    PatchMeasurement measurement;
    std::array<double, 3> measuredLab{};
    LabDifference difference;
    // False when the patch is over the limit of an "each" or "max" rule that
    // covers it, true when covered and never over; nothing when no rule covers it.
    std::optional<bool> pass;
};

// What one rule found.
struct RuleOutcome {
    ToleranceRule rule;
    // A rule that cannot be judged on this reference, with the note saying why; it takes no part in the verdict.
    bool skipped = false;
    // Why it was skipped, or the listed identifiers the reference does not have.
    QString note;
    // The statistic of the covered patches' metric.
    double value = 0.0;
    // The value, as the reports show it with two decimals, within the limit.
    bool pass = true;
    // The identifiers the rule covers, in the reference's order.
    QStringList patches;
    // The covered patches above the limit on their own ("each" and "max" rules).
    QStringList failing;
    // The covered patch with the largest metric.
    QString worstPatch;
};

// The verdict on a colour bar, with every patch and every rule behind it.
struct ColourBarCheck {
    QVector<PatchCheck> patches;
    QVector<RuleOutcome> rules;
    // Why no verdict could be given; the rows then are what could be measured.
    QString error;
    bool pass = false;
    // The rule furthest over its limit (of all rules, when none fails); -1 when no rule was judged.
    int worstRule = -1;
    // The worst rule's worst patch.
    QString worstPatch;

    bool ok() const { return error.isEmpty(); }
    // The rules' notes, for a list of notes.
    QStringList notes() const;
};

// The value of a metric for one patch.
double metricValue(const PatchCheck &patch, ToleranceMetric metric);

// Checks the patches measured for each of the reference's patches (in its
// order, as patch assignment gives them) against the tolerance set.
ColourBarCheck checkColourBar(const ReferenceChart &reference, const QVector<Patch> &patches,
                              const QVector<PatchMeasurement> &measurements, const ToleranceSet &tolerances);
// Measures the patches on the session's picture, through its profile and intent, and checks them.
ColourBarCheck checkColourBar(const MeasuringSession &session, const ReferenceChart &reference,
                              const QVector<Patch> &patches, const ToleranceSet &tolerances);
