#include "barcheckreports.h"

#include "bytekeepingcodec.h"
#include "checkreport.h"
#include "reports.h"
#include "reporttext.h"

#include <QCoreApplication>

namespace {

const QString comparisonColumns = "referenceL,referenceA,referenceB,dE76,dE00,dL,dC,dH,pass,verdict,rules";

// Bytes of a file name that are not UTF-8 read as U+FFFD in UTF-8 output, as in the patch rows.
QString writableName(const QString &file)
{
    QString result = file;
    for (int i = 0; i < result.size(); ++i)
        if (ByteKeepingCodec::keptByteAt(file, i) >= 0)
            result[i] = QChar::ReplacementCharacter;
    return result;
}

int columnCount(const QString &header)
{
    return header.count(',') + 1;
}

QString ruleSummary(const RuleOutcome &rule)
{
    const QString result = rule.skipped ? "skipped" : (rule.pass ? "pass" : "fail");
    const QString value = rule.skipped ? QString("-") : twoDecimals(rule.value);
    return rule.rule.name + ": " + value + " / " + twoDecimals(rule.rule.limit) + " " + result;
}

QStringList comparisonFields(const PatchCheck &patch)
{
    QStringList fields;
    for (double value : patch.reference.lab)
        fields << twoDecimals(value);
    const LabDifference &d = patch.difference;
    for (double value : {d.dE76, d.dE00, d.dL, d.dC, d.dH})
        fields << twoDecimals(value);
    fields << (patch.pass ? (*patch.pass ? "true" : "false") : QString());
    return fields;
}

QString verdictCsvRow(const FileBarCheck &checked)
{
    QStringList rules;
    for (const RuleOutcome &rule : checked.check.rules)
        rules << ruleSummary(rule);
    QStringList fields{csvText(writableName(checked.file)), checked.judged() ? "true" : "false",
                       csvText(checked.check.error)};
    while (fields.size() < columnCount(barCheckCsvHeader()) - 2)
        fields << QString();
    const QString verdict = checked.judged() ? (checked.check.pass ? "pass" : "fail") : QString();
    return (fields << verdict << csvText(rules.join(csvNoteSeparator()))).join(',');
}

QString tableOf(const QVector<QStringList> &rows)
{
    QVector<int> widths(rows.first().size(), 0);
    for (const QStringList &row : rows)
        for (int k = 0; k < row.size(); ++k)
            widths[k] = std::max(widths[k], int(row[k].size()));
    QString table;
    for (const QStringList &row : rows) {
        QStringList cells;
        for (int k = 0; k < row.size(); ++k)
            cells << (k == 0 ? row[k].leftJustified(widths[k]) : row[k].rightJustified(widths[k]));
        table += "  " + cells.join("  ").trimmed() + "\n";
    }
    return table;
}

} // namespace

QString barCheckJson(const FileBarCheck &checked)
{
    QString lines;
    for (int k = 0; k < checked.rows.size(); ++k) {
        QString line = jsonLine(checked.rows[k]);
        if (checked.judged()) {
            line.chop(1);
            line += "," + comparisonJsonKeys(checked.check.patches[k]) + "}";
        }
        lines += line + "\n";
    }
    if (checked.judged())
        return lines + verdictJson(checked.check, writableName(checked.file)) + "\n";
    return lines + "{\"file\":" + jsonText(writableName(checked.file)) +
           ",\"verdict\":null,\"error\":" + jsonText(checked.check.error) + ",\"rules\":[]}\n";
}

QString barCheckCsvHeader()
{
    return csvHeader(true) + "," + comparisonColumns;
}

QString barCheckCsv(const FileBarCheck &checked)
{
    QString csv;
    const int blanks = columnCount(comparisonColumns);
    for (int k = 0; k < checked.rows.size(); ++k) {
        QStringList fields = checked.judged() ? comparisonFields(checked.check.patches[k]) : QStringList();
        while (fields.size() < blanks)
            fields << QString();
        csv += csvRow(checked.rows[k]) + "," + fields.join(',') + "\n";
    }
    return csv + verdictCsvRow(checked) + "\n";
}

QString barCheckText(const FileBarCheck &checked)
{
    QString text = terminalText(checked.file) + ": " + terminalText(verdictLine(checked.check)) + "\n";
    if (!checked.judged())
        return text;
    QVector<QStringList> rules{{"Rule", "Value", "Limit", "Result"}};
    for (const RuleOutcome &rule : checked.check.rules)
        rules << QStringList{terminalText(rule.rule.name), rule.skipped ? "-" : twoDecimals(rule.value),
                             twoDecimals(rule.rule.limit), rule.skipped ? "skipped" : (rule.pass ? "pass" : "FAIL")};
    QVector<QStringList> patches{{"Patch", "ΔE*ab", "ΔE00", "ΔL*", "ΔC*", "ΔH*", "Result"}};
    for (const PatchCheck &p : checked.check.patches) {
        const LabDifference &d = p.difference;
        patches << QStringList{terminalText(p.reference.id),
                               twoDecimals(d.dE76),
                               twoDecimals(d.dE00),
                               twoDecimals(d.dL),
                               twoDecimals(d.dC),
                               twoDecimals(d.dH),
                               p.pass ? (*p.pass ? "pass" : "FAIL") : "-"};
    }
    text += tableOf(rules) + "\n" + tableOf(patches);
    for (const QString &note : checked.check.notes())
        text += "    note: " + terminalText(note) + "\n";
    return text;
}
