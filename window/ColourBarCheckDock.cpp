#include "ColourBarCheckDock.h"

#include "SwatchIcon.h"
#include "reporttext.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QColor passBackground(200, 240, 200);
const QColor failBackground(255, 200, 200);

QTableWidget *makeTable(const QString &name, const QStringList &headers, QWidget *parent)
{
    auto *table = new QTableWidget(0, headers.size(), parent);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->setIconSize(QSize(32, 16));
    return table;
}

QString metricName(ToleranceMetric metric)
{
    switch (metric) {
    case ToleranceMetric::DeltaE76:
        return ColourBarCheckDock::tr("ΔE*ab");
    case ToleranceMetric::DeltaE00:
        return ColourBarCheckDock::tr("ΔE2000");
    case ToleranceMetric::AbsoluteDeltaH:
        return ColourBarCheckDock::tr("|ΔH*|");
    }
    return QString();
}

QString statisticName(ToleranceStatistic statistic)
{
    switch (statistic) {
    case ToleranceStatistic::Each:
        return ColourBarCheckDock::tr("each");
    case ToleranceStatistic::Mean:
        return ColourBarCheckDock::tr("mean");
    case ToleranceStatistic::Max:
        return ColourBarCheckDock::tr("maximum");
    case ToleranceStatistic::P95:
        return ColourBarCheckDock::tr("95th percentile");
    }
    return QString();
}

QString coveredText(const ToleranceRule &rule)
{
    if (rule.coverage == Coverage::Listed)
        return rule.listed.join(' ');
    return coverageKey(rule.coverage);
}

// Fills a row with texts; the result column gets the verdict's colour.
void fillRow(QTableWidget *table, int row, const QStringList &texts, int resultColumn, std::optional<bool> pass)
{
    for (int column = 0; column < texts.size(); ++column) {
        auto *item = new QTableWidgetItem(texts[column]);
        if (column == resultColumn && pass)
            item->setBackground(*pass ? passBackground : failBackground);
        if (column > 0 && column != resultColumn)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, column, item);
    }
}

QString resultText(std::optional<bool> pass)
{
    if (!pass)
        return QStringLiteral("–");
    return *pass ? ColourBarCheckDock::tr("pass") : ColourBarCheckDock::tr("fail");
}

} // namespace

ColourBarCheckDock::ColourBarCheckDock(QWidget *parent)
    : QDockWidget(tr("Colour bar check"), parent)
    , reference(new QLabel(this))
    , toleranceSets(new QComboBox(this))
    , exportReport(new QPushButton(tr("Export report…"), this))
{
    setObjectName("colourBarDock");
    reference->setObjectName("referenceL");
    toleranceSets->setObjectName("toleranceCB");
    // The set's whole name shows, the tables take what room is left.
    toleranceSets->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    toleranceSets->setToolTip(tr("The tolerance set the patches are judged by"));
    // A wheel over the dock must not change the tolerances by accident.
    toleranceSets->setFocusPolicy(Qt::StrongFocus);
    exportReport->setObjectName("exportCheckPB");
    auto *openReference = new QPushButton(tr("Open reference…"), this);
    openReference->setObjectName("openReferencePB");
    // A long file name wraps rather than widening the dock.
    reference->setWordWrap(true);
    reference->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto *controls = new QWidget(this);
    auto *choices = new QVBoxLayout(controls);
    choices->setContentsMargins(0, 0, 0, 0);
    choices->addWidget(reference);
    choices->addWidget(openReference);
    choices->addWidget(toleranceSets);
    choices->addWidget(exportReport);
    choices->addStretch(1);

    rules = makeTable("checkRuleTable",
                      {tr("Rule"), tr("Covers"), tr("Metric"), tr("Statistic"), tr("Value"), tr("Limit"), tr("Result"),
                       tr("Worst patch"), tr("Note")},
                      this);
    patches = makeTable("checkPatchTable",
                        {tr("Patch"), tr("L*"), tr("a*"), tr("b*"), tr("Ref. L*"), tr("Ref. a*"), tr("Ref. b*"),
                         tr("ΔE*ab"), tr("ΔE2000"), tr("ΔL*"), tr("ΔC*"), tr("ΔH*"), tr("ΔE2000 mean"),
                         tr("ΔE2000 95th"), tr("Result"), tr("Measured"), tr("Reference")},
                        this);
    // Side by side, so that the dock is no taller than the patch table it shares its place with.
    auto *contents = new QSplitter(Qt::Horizontal, this);
    contents->addWidget(controls);
    contents->addWidget(rules);
    contents->addWidget(patches);
    contents->setStretchFactor(2, 1);
    setWidget(contents);

    connect(openReference, &QPushButton::clicked, this, &ColourBarCheckDock::openReferenceRequested);
    connect(exportReport, &QPushButton::clicked, this, &ColourBarCheckDock::exportRequested);
    connect(toleranceSets, QOverload<int>::of(&QComboBox::activated), this, &ColourBarCheckDock::toleranceSetChosen);
    showCheck(nullptr, {});
}

void ColourBarCheckDock::showReference(const QString &text)
{
    reference->setText(text);
}

void ColourBarCheckDock::showToleranceSets(const QStringList &names, int chosen)
{
    const QSignalBlocker quiet(toleranceSets);
    toleranceSets->clear();
    toleranceSets->addItems(names);
    toleranceSets->addItem(tr("Other…"));
    toleranceSets->setCurrentIndex(chosen);
}

void ColourBarCheckDock::showCheck(const ColourBarCheck *check, const QVector<SwatchPair> &swatches)
{
    exportReport->setEnabled(check && check->ok());
    rules->setRowCount(0);
    patches->setRowCount(0);
    if (!check)
        return;
    showRules(*check);
    showPatches(*check, swatches);
}

void ColourBarCheckDock::showRules(const ColourBarCheck &check)
{
    rules->setRowCount(check.rules.size());
    for (int row = 0; row < check.rules.size(); ++row) {
        const RuleOutcome &outcome = check.rules[row];
        const ToleranceRule &rule = outcome.rule;
        const QStringList texts{rule.name,
                                coveredText(rule),
                                metricName(rule.metric),
                                statisticName(rule.statistic),
                                outcome.skipped ? QString() : twoDecimals(outcome.value),
                                twoDecimals(rule.limit),
                                outcome.skipped ? tr("skipped") : resultText(outcome.pass),
                                outcome.skipped ? QString() : outcome.worstPatch,
                                outcome.note};
        fillRow(rules, row, texts, 6, outcome.skipped ? std::nullopt : std::optional<bool>(outcome.pass));
    }
    rules->resizeColumnsToContents();
}

void ColourBarCheckDock::showPatches(const ColourBarCheck &check, const QVector<SwatchPair> &swatches)
{
    patches->setRowCount(check.patches.size());
    for (int row = 0; row < check.patches.size(); ++row) {
        const PatchCheck &patch = check.patches[row];
        const LabDifference &d = patch.difference;
        const PatchSpread &spread = patch.measurement.spread;
        QStringList texts{patch.reference.id};
        for (double value : patch.measuredLab)
            texts << twoDecimals(value);
        for (double value : patch.reference.lab)
            texts << twoDecimals(value);
        for (double value : {d.dE76, d.dE00, d.dL, d.dC, d.dH, spread.dE00Mean, spread.dE00P95})
            texts << twoDecimals(value);
        texts << resultText(patch.pass);
        fillRow(patches, row, texts, 14, patch.pass);
        for (int side = 0; side < 2; ++side) {
            auto *swatch = new QTableWidgetItem;
            if (const std::optional<QColor> colour = swatches.value(row)[size_t(side)])
                swatch->setIcon(swatchIcon(*colour, patches->iconSize()));
            patches->setItem(row, 15 + side, swatch);
        }
    }
    patches->resizeColumnsToContents();
}
