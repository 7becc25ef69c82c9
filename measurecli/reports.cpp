#include "reports.h"

#include "valuetexts.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>

namespace {

QString decimals(float value)
{
    return QString::number(double(value), 'f', 2);
}

QStringList repeated(const QString &text, int times)
{
    QStringList list;
    for (int i = 0; i < times; ++i)
        list << text;
    return list;
}

QString jsonString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString csvField(const QString &text)
{
    if (!text.contains(QRegExp("[\",\\n]")))
        return text;
    return "\"" + QString(text).replace("\"", "\"\"") + "\"";
}

QStringList inkTexts(const FileMeasurement &m)
{
    const auto &c = m.average.channels;
    return {decimals(c[0]), decimals(c[1]), decimals(c[2]), decimals(c[3]), decimals(m.average.inkTotal)};
}

} // namespace

QString jsonLine(const FileMeasurement &m)
{
    QString line = "{\"file\":" + jsonString(m.file) + ",\"ok\":" + (m.ok() ? "true" : "false");
    if (!m.ok())
        return line + ",\"error\":" + jsonString(m.error) + "}";
    const QStringList lab = colourValueTexts(m.average, false);
    const QStringList lch = colourValueTexts(m.average, true);
    line += QString(",\"width\":%1,\"height\":%2,\"numberOfInks\":%3,\"profile\":%4,\"pixels\":%5")
                .arg(m.width)
                .arg(m.height)
                .arg(m.numberOfInks)
                .arg(jsonString(m.profile))
                .arg(m.pixels);
    line += QString(",\"L\":%1,\"a\":%2,\"b\":%3,\"C\":%4,\"h\":%5").arg(lab[0], lab[1], lab[2], lch[1], lch[2]);
    if (m.numberOfInks == 4) {
        const QStringList inks = inkTexts(m);
        line += QString(",\"inks\":{\"C\":%1,\"M\":%2,\"Y\":%3,\"K\":%4,\"Total\":%5}")
                    .arg(inks[0], inks[1], inks[2], inks[3], inks[4]);
    }
    return line + QString(",\"srgb\":[%1,%2,%3]}").arg(m.srgb[0]).arg(m.srgb[1]).arg(m.srgb[2]);
}

QString csvHeader()
{
    return "file,ok,error,width,height,numberOfInks,profile,pixels,L,a,b,C,h,inkC,inkM,inkY,inkK,inkTotal,"
           "srgbR,srgbG,srgbB";
}

QString csvRow(const FileMeasurement &m)
{
    QStringList fields = {csvField(m.file), m.ok() ? "true" : "false", csvField(m.error)};
    if (!m.ok())
        return (fields + repeated(QString(), 18)).join(',');
    const QStringList lab = colourValueTexts(m.average, false);
    const QStringList lch = colourValueTexts(m.average, true);
    fields << QString::number(m.width) << QString::number(m.height) << QString::number(m.numberOfInks)
           << csvField(m.profile) << QString::number(m.pixels) << lab << lch[1] << lch[2];
    fields << (m.numberOfInks == 4 ? inkTexts(m) : repeated(QString(), 5));
    fields << QString::number(m.srgb[0]) << QString::number(m.srgb[1]) << QString::number(m.srgb[2]);
    return fields.join(',');
}

QString textTable(const QVector<FileMeasurement> &measured, bool lch)
{
    const bool inks = std::any_of(measured.begin(), measured.end(),
                                  [](const FileMeasurement &m) { return m.ok() && m.numberOfInks == 4; });
    QStringList header = {"File", "L*", lch ? "C*" : "a*", lch ? "h*" : "b*"};
    if (inks)
        header << "C %" << "M %" << "Y %" << "K %" << "Total %";
    header << "Profile";
    QVector<QStringList> rows = {header};
    for (const FileMeasurement &m : measured) {
        if (!m.ok()) {
            rows << QStringList({m.file, "error: " + m.error});
            continue;
        }
        QStringList row = QStringList({m.file}) + colourValueTexts(m.average, lch);
        if (inks)
            row << (m.numberOfInks == 4 ? inkTexts(m) : repeated("-", 5));
        rows << (row << m.profile);
    }
    // Widths from the measured rows; an error runs on past the columns.
    QVector<int> widths(header.size(), 0);
    for (const QStringList &row : rows)
        if (row.size() == header.size())
            for (int i = 0; i < row.size(); ++i)
                widths[i] = std::max(widths[i], int(row[i].size()));
    QString table;
    for (const QStringList &row : rows) {
        QStringList cells;
        for (int i = 0; i < row.size(); ++i) {
            const bool text = i == 0 || i == row.size() - 1;
            cells << (row.size() != header.size() ? row[i]
                      : text                       ? row[i].leftJustified(widths[i])
                                                   : row[i].rightJustified(widths[i]));
        }
        table += cells.join("  ").trimmed() + "\n";
    }
    return table;
}
