#include "reports.h"

#include "bytekeepingcodec.h"
#include "valuetexts.h"

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

// Bytes of a file name that are not UTF-8 cannot be written in UTF-8 output;
// they read as U+FFFD there.
QString writable(const QString &text)
{
    QString result = text;
    for (int i = 0; i < result.size(); ++i)
        if (ByteKeepingCodec::keptByteAt(text, i) >= 0)
            result[i] = QChar::ReplacementCharacter;
    return result;
}

// Every control character escaped, and the line separators a JavaScript
// reader would take for line ends.
QString jsonString(const QString &text)
{
    const QString plain = writable(text);
    QString quoted = "\"";
    for (const QChar c : plain) {
        const ushort unit = c.unicode();
        if (c == '"' || c == '\\')
            quoted += QString("\\") + c;
        else if (c == '\n')
            quoted += "\\n";
        else if (c == '\r')
            quoted += "\\r";
        else if (c == '\t')
            quoted += "\\t";
        else if (c.category() == QChar::Other_Control || unit == 0x2028 || unit == 0x2029)
            quoted += QString("\\u%1").arg(unit, 4, 16, QChar('0'));
        else
            quoted += c;
    }
    return quoted + "\"";
}

QString jsonStringList(const QStringList &texts)
{
    QStringList items;
    for (const QString &text : texts)
        items << jsonString(text);
    return "[" + items.join(',') + "]";
}

// Quoted as RFC 4180 asks when the field holds a separator, a quote or a line end.
QString csvField(const QString &text)
{
    const QString plain = writable(text);
    if (!plain.contains(QRegExp("[\",\r\n]")))
        return plain;
    return "\"" + QString(plain).replace("\"", "\"\"") + "\"";
}

QStringList inkTexts(const FileMeasurement &m)
{
    const auto &c = m.average.channels;
    return {decimals(c[0]), decimals(c[1]), decimals(c[2]), decimals(c[3]), decimals(m.average.inkTotal)};
}

// A row of the text table, with the notes shown under it.
struct TableRow {
    QStringList cells;
    QStringList notes;
};

TableRow tableRow(const FileMeasurement &m, bool lch, bool inks)
{
    TableRow row;
    if (!m.ok()) {
        row.cells = QStringList({m.file, "error: " + m.error});
    } else {
        row.cells = QStringList({m.file}) + colourValueTexts(m.average, lch);
        if (inks)
            row.cells << (m.numberOfInks == 4 ? inkTexts(m) : repeated("-", 5));
        row.cells << m.profile;
    }
    for (QString &cell : row.cells)
        cell = terminalText(cell);
    for (const QString &note : m.notes)
        row.notes << "    note: " + terminalText(note);
    return row;
}

// Widths from the measured rows; an error runs on past the columns.
QString alignedLine(const QStringList &cells, const QVector<int> &widths)
{
    if (cells.size() != widths.size())
        return cells.join("  ");
    QStringList aligned;
    for (int i = 0; i < cells.size(); ++i) {
        const bool text = i == 0 || i == cells.size() - 1;
        aligned << (text ? cells[i].leftJustified(widths[i]) : cells[i].rightJustified(widths[i]));
    }
    return aligned.join("  ").trimmed();
}

} // namespace

QString jsonLine(const FileMeasurement &m)
{
    QString line = "{\"file\":" + jsonString(m.file) + ",\"ok\":" + (m.ok() ? "true" : "false");
    const QString notes = ",\"notes\":" + jsonStringList(m.notes) + "}";
    if (!m.ok())
        return line + ",\"error\":" + jsonString(m.error) + notes;
    const QStringList lab = colourValueTexts(m.average, false);
    const QStringList lch = colourValueTexts(m.average, true);
    // In one pass: a marker such as %1 in the profile's name stays text.
    line += QString(",\"width\":%1,\"height\":%2,\"numberOfInks\":%3,\"profile\":%4,\"pixels\":%5")
                .arg(QString::number(m.width), QString::number(m.height), QString::number(m.numberOfInks),
                     jsonString(m.profile), QString::number(m.pixels));
    line += QString(",\"L\":%1,\"a\":%2,\"b\":%3,\"C\":%4,\"h\":%5").arg(lab[0], lab[1], lab[2], lch[1], lch[2]);
    if (m.numberOfInks == 4) {
        const QStringList inks = inkTexts(m);
        line += QString(",\"inks\":{\"C\":%1,\"M\":%2,\"Y\":%3,\"K\":%4,\"Total\":%5}")
                    .arg(inks[0], inks[1], inks[2], inks[3], inks[4]);
    }
    return line + QString(",\"srgb\":[%1,%2,%3]").arg(m.srgb[0]).arg(m.srgb[1]).arg(m.srgb[2]) + notes;
}

QString csvNoteSeparator()
{
    return " | ";
}

QString terminalText(const QString &text)
{
    QString shown;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const int kept = ByteKeepingCodec::keptByteAt(text, i);
        if (kept >= 0)
            shown += QString("\\x%1").arg(kept, 2, 16, QChar('0'));
        else if (c == '\n')
            shown += "\\n";
        else if (c == '\r')
            shown += "\\r";
        else if (c == '\t')
            shown += "\\t";
        else if (c.category() == QChar::Other_Control)
            shown += QString("\\x%1").arg(c.unicode(), 2, 16, QChar('0'));
        else if (c.unicode() == 0x2028 || c.unicode() == 0x2029)
            shown += QString("\\u%1").arg(c.unicode(), 4, 16, QChar('0'));
        else
            shown += c;
    }
    return shown;
}

QString csvHeader()
{
    return "file,ok,error,width,height,numberOfInks,profile,pixels,L,a,b,C,h,inkC,inkM,inkY,inkK,inkTotal,"
           "srgbR,srgbG,srgbB,notes";
}

QString csvRow(const FileMeasurement &m)
{
    QStringList fields = {csvField(m.file), m.ok() ? "true" : "false", csvField(m.error)};
    const QString notes = csvField(m.notes.join(csvNoteSeparator()));
    if (!m.ok())
        return (fields + repeated(QString(), 18) << notes).join(',');
    const QStringList lab = colourValueTexts(m.average, false);
    const QStringList lch = colourValueTexts(m.average, true);
    fields << QString::number(m.width) << QString::number(m.height) << QString::number(m.numberOfInks)
           << csvField(m.profile) << QString::number(m.pixels) << lab << lch[1] << lch[2];
    fields << (m.numberOfInks == 4 ? inkTexts(m) : repeated(QString(), 5));
    fields << QString::number(m.srgb[0]) << QString::number(m.srgb[1]) << QString::number(m.srgb[2]) << notes;
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
    QVector<TableRow> rows = {{header, {}}};
    for (const FileMeasurement &m : measured)
        rows << tableRow(m, lch, inks);
    QVector<int> widths(header.size(), 0);
    for (const TableRow &row : rows)
        if (row.cells.size() == header.size())
            for (int i = 0; i < header.size(); ++i)
                widths[i] = std::max(widths[i], int(row.cells[i].size()));
    QString table;
    for (const TableRow &row : rows) {
        table += alignedLine(row.cells, widths) + "\n";
        for (const QString &note : row.notes)
            table += note + "\n";
    }
    return table;
}
