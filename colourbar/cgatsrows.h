#pragma once

#include <QByteArray>
#include <QStringList>
#include <QVector>

#include <optional>

// One line of a data block of a CGATS text, as its writer laid it out.
struct CgatsRow {
    int line = 0;
    QStringList values;
};

// The lines of a CGATS text as written. Little CMS reads the values of a
// data block as one stream, so a short row only shows as a shifted value
// somewhere later; the lines as written say where it is.
class CgatsRows
{
public:
    explicit CgatsRows(const QByteArray &text);

    // The rows between the table-th BEGIN_DATA (from 0) and its END_DATA; blank and comment lines left out.
    QVector<CgatsRow> dataRows(int table) const;
    // The value of the first NUMBER_OF_FIELDS keyword of the text.
    std::optional<int> declaredFieldCount() const;
    // The first data row of table whose value count is not fields.
    std::optional<CgatsRow> firstRowNotOf(int table, int fields) const;

private:
    QStringList lines;
};
