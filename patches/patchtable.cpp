#include "patchtable.h"

#include "cgatswriter.h"
#include "reporttext.h"
#include "valuetexts.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("PatchTable", text);
}

QString decimals(double value)
{
    return QString::number(value, 'f', 2);
}

// A cell pasted into a spreadsheet: a tab or line end inside would split it.
QString tabField(QString text)
{
    return text.replace(QRegularExpression("[\t\r\n]"), " ");
}

QString shapeName(PatchShape shape)
{
    return shape == PatchShape::Ellipse ? "ellipse" : "rect";
}

QStringList inkTexts(const AverageColour &average)
{
    const auto &c = average.channels;
    return {decimals(double(c[0])), decimals(double(c[1])), decimals(double(c[2])), decimals(double(c[3])),
            decimals(double(average.inkTotal))};
}

} // namespace

PatchTable::PatchTable(QVector<PatchRow> rows, int numberOfInks, bool lch)
    : patchRows(std::move(rows)), inks(numberOfInks), showLch(lch)
{
}

QString PatchTable::noPixelText()
{
    return tr("no pixel counted");
}

QStringList PatchTable::headers() const
{
    QStringList headers = {tr("Name"), "x", "y", tr("Width"), tr("Height"), tr("Pixels"), "L*"};
    headers << (showLch ? QStringList{"C*", "h*"} : QStringList{"a*", "b*"});
    if (inks == 4)
        headers << "C %" << "M %" << "Y %" << "K %" << tr("Total %");
    headers << tr("SD L*") << tr("SD a*") << tr("SD b*") << tr("dE00 mean") << tr("dE00 P95") << tr("Sampled");
    if (inks == 4)
        headers << tr("TAC max") << tr("TAC P99");
    return headers;
}

QStringList PatchTable::rowCells(const PatchRow &row) const
{
    const QRect rect = row.shownRect();
    QStringList cells = {row.patch.name,
                         QString::number(rect.x()),
                         QString::number(rect.y()),
                         QString::number(rect.width()),
                         QString::number(rect.height()),
                         QString::number(row.measurement.pixels)};
    const std::optional<AverageColour> &average = row.measurement.average;
    if (!average) {
        cells << noPixelText();
        while (cells.size() < headers().size())
            cells << QString();
        return cells;
    }
    const PatchSpread &spread = row.measurement.spread;
    cells << colourValueTexts(*average, showLch);
    if (inks == 4)
        cells << inkTexts(*average);
    cells << decimals(spread.sdLab[0]) << decimals(spread.sdLab[1]) << decimals(spread.sdLab[2])
          << decimals(spread.dE00Mean) << decimals(spread.dE00P95) << (spread.sampled ? tr("yes") : tr("no"));
    if (inks == 4)
        cells << decimals(spread.tacMax) << decimals(spread.tacP99);
    return cells;
}

QVector<QStringList> PatchTable::cells() const
{
    QVector<QStringList> all;
    for (const PatchRow &row : patchRows)
        all << rowCells(row);
    return all;
}

QString PatchTable::tabSeparated() const
{
    QStringList lines = {headers().join('\t')};
    for (const QStringList &row : cells()) {
        QStringList fields;
        for (const QString &cell : row)
            fields << tabField(cell);
        lines << fields.join('\t');
    }
    return lines.join('\n') + '\n';
}

QString PatchTable::csv() const
{
    QStringList lines;
    QVector<QStringList> rows = {headers()};
    rows << cells();
    for (const QStringList &row : rows) {
        QStringList fields;
        for (const QString &cell : row)
            fields << csvText(cell);
        lines << fields.join(',');
    }
    return lines.join('\n') + '\n';
}

QByteArray PatchTable::json() const
{
    QJsonArray list;
    for (const PatchRow &row : patchRows) {
        const QRect rect = row.shownRect();
        QJsonObject object{{"name", row.patch.name},
                           {"region", QJsonObject{{"x", rect.x()},
                                                  {"y", rect.y()},
                                                  {"width", rect.width()},
                                                  {"height", rect.height()},
                                                  {"shape", shapeName(row.patch.shape)}}},
                           {"clipped", row.patch.clipped},
                           {"pixels", double(row.measurement.pixels)}};
        const std::optional<AverageColour> &average = row.measurement.average;
        if (!average) {
            object["error"] = noPixelText();
            list.append(object);
            continue;
        }
        const QStringList lab = colourValueTexts(*average, false);
        const QStringList lch = colourValueTexts(*average, true);
        const QStringList keys = {"L", "a", "b", "C", "h"};
        const QStringList values = {lab[0], lab[1], lab[2], lch[1], lch[2]};
        for (int i = 0; i < keys.size(); ++i)
            object[keys[i]] = values[i].toDouble();
        const PatchSpread &spread = row.measurement.spread;
        object["sd"] = QJsonObject{{"L", decimals(spread.sdLab[0]).toDouble()},
                                   {"a", decimals(spread.sdLab[1]).toDouble()},
                                   {"b", decimals(spread.sdLab[2]).toDouble()}};
        object["uniformity"] = QJsonObject{{"dE00Mean", decimals(spread.dE00Mean).toDouble()},
                                           {"dE00P95", decimals(spread.dE00P95).toDouble()},
                                           {"sampled", spread.sampled}};
        if (inks == 4) {
            const QStringList inkValues = inkTexts(*average);
            object["inks"] = QJsonObject{{"C", inkValues[0].toDouble()},
                                         {"M", inkValues[1].toDouble()},
                                         {"Y", inkValues[2].toDouble()},
                                         {"K", inkValues[3].toDouble()},
                                         {"Total", inkValues[4].toDouble()}};
            object["tac"] = QJsonObject{{"max", decimals(spread.tacMax).toDouble()},
                                        {"p99", decimals(spread.tacP99).toDouble()}};
        }
        list.append(object);
    }
    return QJsonDocument(QJsonObject{{"patches", list}}).toJson(QJsonDocument::Indented);
}

QByteArray PatchTable::cgats() const
{
    QStringList fields = {"SAMPLE_ID", "SAMPLE_NAME", "LAB_L", "LAB_A", "LAB_B"};
    if (inks == 4)
        fields << "CMYK_C" << "CMYK_M" << "CMYK_Y" << "CMYK_K";
    CgatsWriter writer(fields);
    for (int i = 0; i < patchRows.size(); ++i) {
        const std::optional<AverageColour> &average = patchRows[i].measurement.average;
        if (!average)
            continue;
        QStringList values = {QString::number(i + 1), patchRows[i].patch.name};
        values << colourValueTexts(*average, false);
        if (inks == 4)
            values << inkTexts(*average).mid(0, 4);
        writer.addRow(values);
    }
    return writer.bytes();
}

bool PatchTable::writeCgats(const QString &path, QString *error) const
{
    const QByteArray bytes = cgats();
    QSaveFile file(path);
    if (!bytes.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    *error = bytes.isEmpty() ? tr("Little CMS could not write the CGATS table.")
                             : tr("%1: %2").arg(path, file.errorString());
    return false;
}
