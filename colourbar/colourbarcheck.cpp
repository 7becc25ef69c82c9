#include "colourbarcheck.h"

#include "measuringsession.h"
#include "patchcategory.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ColourBar", text);
}

// Judged as shown: a value that reads "3.00" is within a limit of 3.
double shown(double value)
{
    return std::round(value * 100.0) / 100.0;
}

// The nearest-rank 95th percentile: the smallest value that at least 95 % of the values do not exceed.
double percentile95(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t rank = size_t(std::ceil(0.95 * double(values.size())));
    return values[std::max<size_t>(rank, 1) - 1];
}

double statistic(const std::vector<double> &values, ToleranceStatistic kind)
{
    switch (kind) {
    case ToleranceStatistic::Mean:
        return std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
    case ToleranceStatistic::P95:
        return percentile95(values);
    case ToleranceStatistic::Each:
    case ToleranceStatistic::Max:
        break;
    }
    return *std::max_element(values.begin(), values.end());
}

bool covers(const ToleranceRule &rule, const ReferencePatch &patch)
{
    if (rule.coverage == Coverage::Listed)
        return rule.listed.contains(patch.id);
    return !needsTones(rule.coverage) || (patch.tones && inCategory(rule.coverage, *patch.tones));
}

QString skipReason(const ToleranceRule &rule, const ReferenceChart &reference)
{
    if (needsTones(rule.coverage) && !reference.hasTones())
        return tr("Rule \"%1\" skipped: the reference gives no CMYK tone values to find its %2 by.")
            .arg(rule.name, coverageKey(rule.coverage));
    return tr("Rule \"%1\" skipped: no patch of the reference is among its %2.")
        .arg(rule.name, coverageKey(rule.coverage));
}

RuleOutcome judge(const ToleranceRule &rule, const ReferenceChart &reference, const QVector<PatchCheck> &checks)
{
    RuleOutcome outcome;
    outcome.rule = rule;
    std::vector<double> values;
    double worst = -1.0;
    for (const PatchCheck &check : checks) {
        if (!covers(rule, check.reference))
            continue;
        const double value = metricValue(check, rule.metric);
        values.push_back(value);
        outcome.patches << check.reference.id;
        if (value > worst) {
            worst = value;
            outcome.worstPatch = check.reference.id;
        }
        const bool judgedAlone =
            rule.statistic == ToleranceStatistic::Each || rule.statistic == ToleranceStatistic::Max;
        if (judgedAlone && shown(value) > rule.limit)
            outcome.failing << check.reference.id;
    }
    if (values.empty()) {
        outcome.skipped = true;
        outcome.note = skipReason(rule, reference);
        return outcome;
    }
    QStringList unknown;
    for (const QString &id : rule.listed)
        if (!outcome.patches.contains(id))
            unknown << id;
    if (!unknown.isEmpty())
        outcome.note = tr("Rule \"%1\": not in the reference: %2.").arg(rule.name, unknown.join(", "));
    outcome.value = statistic(values, rule.statistic);
    outcome.pass = shown(outcome.value) <= rule.limit;
    return outcome;
}

// How far over (or under) its limit a rule is, to find the worst one.
double severity(const RuleOutcome &outcome)
{
    if (outcome.rule.limit > 0.0)
        return outcome.value / outcome.rule.limit;
    return outcome.value > 0.0 ? std::numeric_limits<double>::infinity() : 0.0;
}

void giveVerdict(ColourBarCheck *check)
{
    check->pass = std::all_of(check->rules.begin(), check->rules.end(),
                              [](const RuleOutcome &rule) { return rule.skipped || rule.pass; });
    double worst = -1.0;
    for (int k = 0; k < check->rules.size(); ++k) {
        const RuleOutcome &rule = check->rules[k];
        if (rule.skipped || (!check->pass && rule.pass))
            continue;
        if (severity(rule) > worst) {
            worst = severity(rule);
            check->worstRule = k;
            check->worstPatch = rule.worstPatch;
        }
    }
}

void markPatches(ColourBarCheck *check)
{
    for (PatchCheck &patch : check->patches)
        for (const RuleOutcome &rule : check->rules) {
            if (rule.skipped || !rule.patches.contains(patch.reference.id))
                continue;
            const bool failed = rule.failing.contains(patch.reference.id);
            patch.pass = patch.pass.value_or(true) && !failed;
        }
}

} // namespace

QStringList ColourBarCheck::notes() const
{
    QStringList notes;
    for (const RuleOutcome &rule : rules)
        if (!rule.note.isEmpty())
            notes << rule.note;
    return notes;
}

double metricValue(const PatchCheck &patch, ToleranceMetric metric)
{
    switch (metric) {
    case ToleranceMetric::DeltaE00:
        return patch.difference.dE00;
    case ToleranceMetric::AbsoluteDeltaH:
        return std::abs(patch.difference.dH);
    case ToleranceMetric::DeltaE76:
        break;
    }
    return patch.difference.dE76;
}

ColourBarCheck checkColourBar(const ReferenceChart &reference, const QVector<Patch> &patches,
                              const QVector<PatchMeasurement> &measurements, const ToleranceSet &tolerances)
{
    ColourBarCheck check;
    if (patches.size() != reference.patches.size() || measurements.size() != patches.size()) {
        check.error = tr("%1 patches were measured for the %2 patches of the reference %3.")
                          .arg(measurements.size())
                          .arg(reference.patches.size())
                          .arg(reference.file);
        return check;
    }
    QStringList unmeasured;
    for (int k = 0; k < patches.size(); ++k) {
        PatchCheck row{reference.patches[k], patches[k], measurements[k], {}, {}, std::nullopt};
        if (!row.measurement.average) {
            unmeasured << row.reference.id;
            continue;
        }
        const std::array<float, 3> &lab = row.measurement.average->lab;
        row.measuredLab = {double(lab[0]), double(lab[1]), double(lab[2])};
        row.difference = labDifference(row.measuredLab, row.reference.lab);
        check.patches << row;
    }
    if (!unmeasured.isEmpty()) {
        check.error = tr("No colour could be measured for %1, so the bar cannot be judged.").arg(unmeasured.join(", "));
        return check;
    }
    for (const ToleranceRule &rule : tolerances.rules)
        check.rules << judge(rule, reference, check.patches);
    giveVerdict(&check);
    markPatches(&check);
    if (check.worstRule < 0)
        check.error =
            tr("No rule of the tolerance set \"%1\" applies to the reference %2.").arg(tolerances.name, reference.file);
    return check;
}

ColourBarCheck checkColourBar(const MeasuringSession &session, const ReferenceChart &reference,
                              const QVector<Patch> &patches, const ToleranceSet &tolerances)
{
    QVector<PatchMeasurement> measurements;
    for (const Patch &patch : patches)
        measurements << measurePatch(session, patch);
    return checkColourBar(reference, patches, measurements, tolerances);
}
