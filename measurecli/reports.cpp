#include "reports.h"

#include "bytekeepingcodec.h"
#include "cgatswriter.h"
#include "reporttext.h"
#include "valuetexts.h"

#include <algorithm>

namespace {

QString decimals(double value)
{
    return QString::number(value, 'f', 2);
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

// Bytes that are not UTF-8 read as U+FFFD; everything else is escaped as JSON asks.
QString jsonString(const QString &text)
{
    return jsonText(writable(text));
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
    return csvText(writable(text));
}

QStringList inkTexts(const FileMeasurement &m)
{
    const auto &c = m.average.channels;
    return {decimals(double(c[0])), decimals(double(c[1])), decimals(double(c[2])), decimals(double(c[3])),
            decimals(double(m.average.inkTotal))};
}

// A row of the text table, with the notes shown under it.
struct TableRow {
    QStringList cells;
    QStringList notes;
};

// What the text table shows: the inks when any file has four, the patch columns when rows are patches.
struct TableColumns {
    bool lch = false;
    bool inks = false;
    bool patches = false;
    // Columns before the values, left-justified like the last.
    int leadingText() const { return patches ? 3 : 1; }
};

QStringList patchTableCells(const FileMeasurement &m, bool inks)
{
    const PatchSpread &spread = m.patch->measurement.spread;
    QStringList cells = {decimals(spread.sdLab[0]), decimals(spread.sdLab[1]), decimals(spread.sdLab[2]),
                         decimals(spread.dE00Mean), decimals(spread.dE00P95), spread.sampled ? "yes" : "no"};
    if (inks)
        cells << (m.numberOfInks == 4 ? QStringList{decimals(spread.tacMax), decimals(spread.tacP99)}
                                      : repeated("-", 2));
    return cells;
}

QString regionText(const PatchRow &row)
{
    const QRect r = row.measurement.region;
    if (r.isEmpty())
        return "-";
    return QString("%1,%2 %3x%4%5")
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .arg(row.patch.shape == PatchShape::Ellipse ? " ellipse" : "");
}

TableRow tableRow(const FileMeasurement &m, const TableColumns &columns)
{
    TableRow row;
    row.cells = QStringList({m.file});
    if (columns.patches)
        row.cells << m.patch->patch.name << regionText(*m.patch);
    if (!m.ok()) {
        row.cells << "error: " + m.error;
    } else {
        row.cells << colourValueTexts(m.average, columns.lch);
        if (columns.inks)
            row.cells << (m.numberOfInks == 4 ? inkTexts(m) : repeated("-", 5));
        if (columns.patches)
            row.cells << patchTableCells(m, columns.inks);
        row.cells << m.profile;
    }
    for (QString &cell : row.cells)
        cell = terminalText(cell);
    for (const QString &note : m.notes)
        row.notes << "    note: " + terminalText(note);
    return row;
}

// Widths from the measured rows; an error runs on past the columns.
QString alignedLine(const QStringList &cells, const QVector<int> &widths, int leadingText)
{
    if (cells.size() != widths.size())
        return cells.join("  ");
    QStringList aligned;
    for (int i = 0; i < cells.size(); ++i) {
        const bool text = i < leadingText || i == cells.size() - 1;
        aligned << (text ? cells[i].leftJustified(widths[i]) : cells[i].rightJustified(widths[i]));
    }
    return aligned.join("  ").trimmed();
}

QString shapeName(PatchShape shape)
{
    return shape == PatchShape::Ellipse ? "ellipse" : "rect";
}

// The rectangle a patch row was measured over: the patch cut to the picture.
QString jsonRegion(const PatchRow &row)
{
    const QRect r = row.measurement.region;
    return QString("{\"x\":%1,\"y\":%2,\"width\":%3,\"height\":%4,\"shape\":\"%5\"}")
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .arg(shapeName(row.patch.shape));
}

QString jsonSpread(const PatchSpread &spread, int numberOfInks)
{
    QString text = QString(",\"sd\":{\"L\":%1,\"a\":%2,\"b\":%3}")
                       .arg(decimals(spread.sdLab[0]), decimals(spread.sdLab[1]), decimals(spread.sdLab[2]));
    text += QString(",\"uniformity\":{\"dE00Mean\":%1,\"dE00P95\":%2,\"sampled\":%3}")
                .arg(decimals(spread.dE00Mean), decimals(spread.dE00P95), spread.sampled ? "true" : "false");
    if (numberOfInks == 4)
        text += QString(",\"tac\":{\"max\":%1,\"p99\":%2}").arg(decimals(spread.tacMax), decimals(spread.tacP99));
    return text;
}

// The CSV columns a patch row adds; only the name and region on a failed row.
QStringList patchFields(const FileMeasurement &m)
{
    const PatchRow &row = *m.patch;
    const QRect r = row.measurement.region;
    QStringList fields = {row.patch.name};
    if (r.isEmpty())
        fields << repeated(QString(), 5);
    else
        fields << QString::number(r.x()) << QString::number(r.y()) << QString::number(r.width())
               << QString::number(r.height()) << shapeName(row.patch.shape);
    if (!m.ok())
        return fields + repeated(QString(), 8);
    const PatchSpread &spread = row.measurement.spread;
    fields << decimals(spread.sdLab[0]) << decimals(spread.sdLab[1]) << decimals(spread.sdLab[2])
           << decimals(spread.dE00Mean) << decimals(spread.dE00P95) << (spread.sampled ? "true" : "false");
    if (m.numberOfInks == 4)
        fields << decimals(spread.tacMax) << decimals(spread.tacP99);
    else
        fields << QString() << QString();
    return fields;
}

} // namespace

QString jsonLine(const FileMeasurement &m)
{
    QString line = "{\"file\":" + jsonString(m.file) + ",\"ok\":" + (m.ok() ? "true" : "false");
    const QString notes = ",\"notes\":" + jsonStringList(m.notes) + "}";
    if (m.patch)
        line += ",\"patch\":" + jsonString(m.patch->patch.name);
    if (m.patch && !m.patch->measurement.region.isEmpty())
        line += ",\"region\":" + jsonRegion(*m.patch);
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
    line += QString(",\"srgb\":[%1,%2,%3]").arg(m.srgb[0]).arg(m.srgb[1]).arg(m.srgb[2]);
    if (m.patch)
        line += jsonSpread(m.patch->measurement.spread, m.numberOfInks);
    return line + notes;
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

QString csvHeader(bool patches)
{
    const QString patchColumns = "patch,regionX,regionY,regionWidth,regionHeight,regionShape,sdL,sdA,sdB,dE00Mean,"
                                 "dE00P95,sampled,tacMax,tacP99,";
    return "file,ok,error,width,height,numberOfInks,profile,pixels,L,a,b,C,h,inkC,inkM,inkY,inkK,inkTotal,"
           "srgbR,srgbG,srgbB," +
           (patches ? patchColumns : QString()) + "notes";
}

QString csvRow(const FileMeasurement &m)
{
    QStringList fields = {csvField(m.file), m.ok() ? "true" : "false", csvField(m.error)};
    const QString notes = csvField(m.notes.join(csvNoteSeparator()));
    QStringList patchColumns;
    if (m.patch)
        for (const QString &field : patchFields(m))
            patchColumns << csvField(field);
    if (!m.ok())
        return (fields + repeated(QString(), 18) + patchColumns << notes).join(',');
    const QStringList lab = colourValueTexts(m.average, false);
    const QStringList lch = colourValueTexts(m.average, true);
    fields << QString::number(m.width) << QString::number(m.height) << QString::number(m.numberOfInks)
           << csvField(m.profile) << QString::number(m.pixels) << lab << lch[1] << lch[2];
    fields << (m.numberOfInks == 4 ? inkTexts(m) : repeated(QString(), 5));
    fields << QString::number(m.srgb[0]) << QString::number(m.srgb[1]) << QString::number(m.srgb[2]);
    return (fields + patchColumns << notes).join(',');
}

QString textTable(const QVector<FileMeasurement> &measured, bool lch)
{
    TableColumns columns;
    columns.lch = lch;
    columns.inks = std::any_of(measured.begin(), measured.end(),
                               [](const FileMeasurement &m) { return m.ok() && m.numberOfInks == 4; });
    columns.patches = std::any_of(measured.begin(), measured.end(), [](const FileMeasurement &m) { return bool(m.patch); });
    QStringList header = {"File"};
    if (columns.patches)
        header << "Patch" << "Region";
    header << "L*" << (lch ? "C*" : "a*") << (lch ? "h*" : "b*");
    if (columns.inks)
        header << "C %" << "M %" << "Y %" << "K %" << "Total %";
    if (columns.patches)
        header << "SD L*" << "SD a*" << "SD b*" << "dE00 mean" << "dE00 P95" << "Sampled";
    if (columns.patches && columns.inks)
        header << "TAC max" << "TAC P99";
    header << "Profile";
    QVector<TableRow> rows = {{header, {}}};
    for (const FileMeasurement &m : measured)
        rows << tableRow(m, columns);
    QVector<int> widths(header.size(), 0);
    for (const TableRow &row : rows)
        if (row.cells.size() == header.size())
            for (int i = 0; i < header.size(); ++i)
                widths[i] = std::max(widths[i], int(row.cells[i].size()));
    QString table;
    for (const TableRow &row : rows) {
        table += alignedLine(row.cells, widths, columns.leadingText()) + "\n";
        for (const QString &note : row.notes)
            table += note + "\n";
    }
    return table;
}

// One sample per measured row; rows that failed have no numbers to give.
QByteArray cgatsReport(const QVector<FileMeasurement> &measured)
{
    QVector<FileMeasurement> rows;
    for (const FileMeasurement &m : measured)
        if (m.ok())
            rows << m;
    const bool inks = !rows.isEmpty() && std::all_of(rows.begin(), rows.end(),
                                                     [](const FileMeasurement &m) { return m.numberOfInks == 4; });
    const bool severalFiles = std::any_of(rows.begin(), rows.end(),
                                          [&](const FileMeasurement &m) { return m.file != rows.first().file; });
    QStringList fields = {"SAMPLE_ID", "SAMPLE_NAME", "LAB_L", "LAB_A", "LAB_B"};
    if (inks)
        fields << "CMYK_C" << "CMYK_M" << "CMYK_Y" << "CMYK_K";
    CgatsWriter writer(fields);
    for (int i = 0; i < rows.size(); ++i) {
        const FileMeasurement &m = rows[i];
        QString name = m.patch ? m.patch->patch.name : writable(m.file);
        if (m.patch && severalFiles)
            name = writable(m.file) + ": " + name;
        QStringList values = {QString::number(i + 1), name};
        values << colourValueTexts(m.average, false);
        if (inks)
            values << inkTexts(m).mid(0, 4);
        writer.addRow(values);
    }
    return writer.bytes();
}
