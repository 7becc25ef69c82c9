#include "cgatsrows.h"

#include <QRegularExpression>

namespace {

// Values separated by blanks; a quoted string is one value however many blanks it holds.
QStringList splitValues(const QString &line)
{
    static const QRegularExpression value(R"("[^"]*"|[^\s"]+)");
    QStringList values;
    auto matches = value.globalMatch(line);
    while (matches.hasNext())
        values << matches.next().captured(0);
    return values;
}

bool isKeywordLine(const QString &trimmed, const char *keyword)
{
    return trimmed == keyword || trimmed.startsWith(QString(keyword) + ' ') ||
           trimmed.startsWith(QString(keyword) + '\t');
}

} // namespace

CgatsRows::CgatsRows(const QByteArray &text) : lines(QString::fromLatin1(text).split(QRegularExpression("\r\n|\r|\n")))
{
}

QVector<CgatsRow> CgatsRows::dataRows(int table) const
{
    QVector<CgatsRow> rows;
    int blocksSeen = 0;
    bool inBlock = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString trimmed = lines[i].trimmed();
        if (!inBlock) {
            if (isKeywordLine(trimmed, "BEGIN_DATA"))
                inBlock = blocksSeen++ == table;
            continue;
        }
        if (isKeywordLine(trimmed, "END_DATA"))
            break;
        if (!trimmed.isEmpty() && !trimmed.startsWith('#'))
            rows.append({i + 1, splitValues(trimmed)});
    }
    return rows;
}

std::optional<int> CgatsRows::declaredFieldCount() const
{
    for (const QString &line : lines) {
        const QStringList values = splitValues(line.trimmed());
        bool ok = false;
        if (values.size() >= 2 && values[0] == "NUMBER_OF_FIELDS") {
            const int count = values[1].toInt(&ok);
            if (ok)
                return count;
        }
    }
    return std::nullopt;
}

std::optional<CgatsRow> CgatsRows::firstRowNotOf(int table, int fields) const
{
    for (const CgatsRow &row : dataRows(table))
        if (row.values.size() != fields)
            return row;
    return std::nullopt;
}
