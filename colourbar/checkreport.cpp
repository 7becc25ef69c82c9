#include "checkreport.h"

#include "reporttext.h"

#include <QCoreApplication>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ColourBar", text);
}

QString jsonBool(std::optional<bool> value)
{
    return value ? (*value ? "true" : "false") : "null";
}

QString jsonTexts(const QStringList &texts)
{
    QStringList items;
    for (const QString &text : texts)
        items << jsonText(text);
    return "[" + items.join(',') + "]";
}

QString csvBool(std::optional<bool> value)
{
    return value ? (*value ? "true" : "false") : QString();
}

QString regionJson(const PatchCheck &patch)
{
    const QRect &r = patch.measurement.region;
    return QString("{\"x\":%1,\"y\":%2,\"width\":%3,\"height\":%4,\"shape\":%5}")
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .arg(patch.patch.shape == PatchShape::Ellipse ? "\"ellipse\"" : "\"rect\"");
}

QString patchJson(const PatchCheck &patch)
{
    const PatchSpread &spread = patch.measurement.spread;
    return QString("{\"patch\":%1,\"region\":%2,\"pixels\":%3,\"measured\":%4,"
                   "\"uniformity\":{\"dE00Mean\":%5,\"dE00P95\":%6,\"sampled\":%7},%8}")
        .arg(jsonText(patch.reference.id), regionJson(patch), QString::number(patch.measurement.pixels),
             jsonLab(patch.measuredLab), twoDecimals(spread.dE00Mean), twoDecimals(spread.dE00P95),
             spread.sampled ? "true" : "false", comparisonJsonKeys(patch));
}

QString rulesJson(const ColourBarCheck &check)
{
    QStringList rules;
    for (const RuleOutcome &rule : check.rules)
        rules << ruleJson(rule);
    return "[" + rules.join(',') + "]";
}

// The keys of the verdict's object, without braces.
QString verdictKeys(const ColourBarCheck &check)
{
    const QString worstRule = check.worstRule >= 0 ? jsonText(check.rules[check.worstRule].rule.name) : "null";
    const QString worstPatch = check.worstPatch.isEmpty() ? "null" : jsonText(check.worstPatch);
    return QString("\"verdict\":%1,\"rules\":%2,\"worstRule\":%3,\"worstPatch\":%4,\"notes\":%5")
        .arg(check.pass ? "\"pass\"" : "\"fail\"", rulesJson(check), worstRule, worstPatch, jsonTexts(check.notes()));
}

} // namespace

QString comparisonJsonKeys(const PatchCheck &patch)
{
    const LabDifference &d = patch.difference;
    return QString("\"reference\":%1,\"dE76\":%2,\"dE00\":%3,\"dL\":%4,\"dC\":%5,\"dH\":%6,\"pass\":%7")
        .arg(jsonLab(patch.reference.lab), twoDecimals(d.dE76), twoDecimals(d.dE00), twoDecimals(d.dL),
             twoDecimals(d.dC), twoDecimals(d.dH), jsonBool(patch.pass));
}

QString ruleJson(const RuleOutcome &rule)
{
    const QString value = rule.skipped ? "null" : twoDecimals(rule.value);
    const QString pass = rule.skipped ? "null" : (rule.pass ? "true" : "false");
    return QString("{\"name\":%1,\"covers\":%2,\"metric\":%3,\"statistic\":%4,\"value\":%5,\"limit\":%6,"
                   "\"pass\":%7,\"patches\":%8,\"failing\":%9,\"skipped\":%10,\"note\":%11}")
        .arg(jsonText(rule.rule.name),
             rule.rule.coverage == Coverage::Listed ? jsonTexts(rule.rule.listed)
                                                    : jsonText(coverageKey(rule.rule.coverage)),
             jsonText(metricKey(rule.rule.metric)), jsonText(statisticKey(rule.rule.statistic)), value,
             twoDecimals(rule.rule.limit), pass, jsonTexts(rule.patches), jsonTexts(rule.failing))
        .arg(rule.skipped ? "true" : "false", jsonText(rule.note));
}

QString verdictJson(const ColourBarCheck &check, const QString &file)
{
    return "{\"file\":" + jsonText(file) + "," + verdictKeys(check) + "}";
}

QString checkJson(const ColourBarCheck &check, const QString &file)
{
    QStringList patches;
    for (const PatchCheck &patch : check.patches)
        patches << patchJson(patch);
    return "{\"file\":" + jsonText(file) + ",\"patches\":[" + patches.join(',') + "]," + verdictKeys(check) + "}\n";
}

QString patchRowsCsv(const ColourBarCheck &check)
{
    QString csv = "patch,x,y,width,height,pixels,L,a,b,referenceL,referenceA,referenceB,dE76,dE00,dL,dC,dH,"
                  "dE00Mean,dE00P95,pass\n";
    for (const PatchCheck &p : check.patches) {
        const QRect &r = p.measurement.region;
        const LabDifference &d = p.difference;
        QStringList fields{csvText(p.reference.id),     QString::number(r.x()),
                           QString::number(r.y()),      QString::number(r.width()),
                           QString::number(r.height()), QString::number(p.measurement.pixels)};
        for (double value : p.measuredLab)
            fields << twoDecimals(value);
        for (double value : p.reference.lab)
            fields << twoDecimals(value);
        for (double value :
             {d.dE76, d.dE00, d.dL, d.dC, d.dH, p.measurement.spread.dE00Mean, p.measurement.spread.dE00P95})
            fields << twoDecimals(value);
        fields << csvBool(p.pass);
        csv += fields.join(',') + "\n";
    }
    return csv;
}

QString ruleRowsCsv(const ColourBarCheck &check)
{
    QString csv = "rule,covers,metric,statistic,value,limit,pass,patches,failing,note\n";
    for (const RuleOutcome &rule : check.rules) {
        const QString covers =
            rule.rule.coverage == Coverage::Listed ? rule.rule.listed.join(' ') : coverageKey(rule.rule.coverage);
        const QStringList fields{csvText(rule.rule.name),
                                 csvText(covers),
                                 metricKey(rule.rule.metric),
                                 statisticKey(rule.rule.statistic),
                                 rule.skipped ? QString() : twoDecimals(rule.value),
                                 twoDecimals(rule.rule.limit),
                                 rule.skipped ? QString() : csvBool(rule.pass),
                                 csvText(rule.patches.join(' ')),
                                 csvText(rule.failing.join(' ')),
                                 csvText(rule.note)};
        csv += fields.join(',') + "\n";
    }
    return csv;
}

QString verdictWord(const ColourBarCheck &check)
{
    if (!check.ok())
        return tr("NO VERDICT");
    return check.pass ? tr("PASS") : tr("FAIL");
}

QString verdictDetail(const ColourBarCheck &check)
{
    if (!check.ok())
        return check.error;
    if (check.worstRule < 0)
        return tr("no rule could be judged");
    const RuleOutcome &worst = check.rules[check.worstRule];
    return tr("worst rule: %1, %2 against %3; worst patch: %4")
        .arg(worst.rule.name, twoDecimals(worst.value), twoDecimals(worst.rule.limit), check.worstPatch);
}

QString verdictLine(const ColourBarCheck &check)
{
    const bool judged = check.ok() && check.worstRule >= 0;
    return (judged ? tr("%1 (%2)") : tr("%1: %2")).arg(verdictWord(check), verdictDetail(check));
}
