#include "checkpdf.h"

#include "averagecolour.h"
#include "checkreport.h"
#include "colourprofile.h"
#include "pdfpagetable.h"
#include "reporttext.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPdfWriter>

#include <algorithm>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ColourBar", text);
}

QString intentName(int intent)
{
    const char *names[] = {
        QT_TRANSLATE_NOOP("ColourBar", "perceptual"), QT_TRANSLATE_NOOP("ColourBar", "relative colorimetric"),
        QT_TRANSLATE_NOOP("ColourBar", "saturation"), QT_TRANSLATE_NOOP("ColourBar", "absolute colorimetric")};
    return intent >= 0 && intent < 4 ? tr(names[intent]) : QString::number(intent);
}

QColor swatch(const std::array<double, 3> &lab, int intent, cmsHPROFILE srgb)
{
    const std::array<float, 3> value{float(lab[0]), float(lab[1]), float(lab[2])};
    const std::optional<std::array<int, 3>> levels = swatchLevels(value, intent, srgb);
    return levels ? QColor((*levels)[0], (*levels)[1], (*levels)[2]) : QColor(Qt::white);
}

void drawHeading(PdfPageTable &table, const ColourBarCheck &check, const ReportHeading &heading)
{
    table.line(tr("Colour bar check"), 16, true);
    table.line(tr("Image: %1").arg(heading.imageFile), 9);
    table.line(tr("Reference: %1").arg(heading.referenceFile), 9);
    table.line(tr("Tolerances: %1").arg(heading.toleranceSet), 9);
    table.line(tr("Profile: %1, %2 intent").arg(heading.profile, intentName(heading.intent)), 9);
    table.skip(20);
    table.line(verdictLine(check), 13, true, check.ok() && check.pass ? QColor(0, 128, 0) : QColor(192, 0, 0));
    for (const QString &note : check.notes())
        table.line(note, 8);
    table.skip(20);
}

void drawRules(PdfPageTable &table, const ColourBarCheck &check)
{
    const QVector<double> widths{0.34, 0.14, 0.1, 0.1, 0.1, 0.1, 0.12};
    table.setPointSize(8);
    const double height = 60;
    table.row({tr("Rule"), tr("Covers"), tr("Metric"), tr("Statistic"), tr("Value"), tr("Limit"), tr("Result")}, widths,
              height, true);
    for (const RuleOutcome &rule : check.rules) {
        const QString result = rule.skipped ? tr("skipped") : (rule.pass ? tr("pass") : tr("FAIL"));
        table.row({rule.rule.name, coverageKey(rule.rule.coverage), metricKey(rule.rule.metric),
                   statisticKey(rule.rule.statistic), rule.skipped ? QString("-") : twoDecimals(rule.value),
                   twoDecimals(rule.rule.limit), result},
                  widths, height, false);
    }
    table.skip(30);
}

void drawPatches(PdfPageTable &table, const ColourBarCheck &check, int intent)
{
    const QVector<double> widths{0.1, 0.06, 0.06, 0.18, 0.18, 0.07, 0.07, 0.07, 0.07, 0.07, 0.07};
    const double height = std::clamp(table.remaining() / (check.patches.size() + 1), 12.0, 60.0);
    table.setPointSize(std::min(8.0, height / 300.0 * 72.0 * 0.7));
    table.row({tr("Patch"), tr("Meas."), tr("Ref."), tr("Measured L* a* b*"), tr("Reference L* a* b*"), tr("ΔE*ab"),
               tr("ΔE00"), tr("ΔL*"), tr("ΔC*"), tr("ΔH*"), tr("Result")},
              widths, height, true);
    const ColourProfile srgb = ColourProfile::srgb();
    for (const PatchCheck &p : check.patches) {
        const auto labText = [](const std::array<double, 3> &lab) {
            return twoDecimals(lab[0]) + "  " + twoDecimals(lab[1]) + "  " + twoDecimals(lab[2]);
        };
        const QString result = p.pass ? (*p.pass ? tr("pass") : tr("FAIL")) : QString("-");
        const LabDifference &d = p.difference;
        table.row(
            {p.reference.id, QString(), QString(), labText(p.measuredLab), labText(p.reference.lab),
             twoDecimals(d.dE76), twoDecimals(d.dE00), twoDecimals(d.dL), twoDecimals(d.dC), twoDecimals(d.dH), result},
            widths, height, false,
            {QColor(), swatch(p.measuredLab, intent, srgb.handle()), swatch(p.reference.lab, intent, srgb.handle())});
    }
}

} // namespace

bool writeCheckPdf(const ColourBarCheck &check, const ReportHeading &heading, const QString &path, QString *error)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    writer.setResolution(300);
    writer.setTitle(tr("Colour bar check of %1").arg(QFileInfo(heading.imageFile).fileName()));
    writer.setCreator("Lumivant");
    QPainter painter;
    if (!painter.begin(&writer)) {
        *error = tr("The report could not be written to %1.").arg(path);
        return false;
    }
    PdfPageTable table(painter, QRectF(QPointF(0, 0), QSizeF(writer.width(), writer.height())));
    drawHeading(table, check, heading);
    drawRules(table, check);
    drawPatches(table, check, heading.intent);
    painter.end();
    return true;
}
