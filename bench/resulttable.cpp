#include "resulttable.h"

#include <QByteArray>

#include <cstdio>

namespace {

QByteArray timeCell(double ms, double decodeMs)
{
    if (ms < 0)
        return "-";
    return QByteArray::number(ms, 'f', 0) + " (" + QByteArray::number(ms / decodeMs, 'f', 2) + "x)";
}

QByteArray memoryCell(double mib)
{
    return mib < 0 ? QByteArray("-") : QByteArray::number(mib, 'f', 0);
}

} // namespace

void ResultTable::add(const UserWaits &waits)
{
    rows.push_back(waits);
}

void ResultTable::print() const
{
    const char *format = "%-28s %9s  %-16s %-18s %-18s %12s %12s\n";
    std::printf("\nWhat a user waits for (ms, x the decode of the file)\n");
    std::printf(format, "input", "decode ms", "values ms", "fitted picture ms", "measure CLI ms", "window MiB",
                "CLI MiB");
    for (const UserWaits &row : rows)
        std::printf(format, qPrintable(row.input), QByteArray::number(row.decodeMs, 'f', 0).constData(),
                    timeCell(row.valuesMs, row.decodeMs).constData(), timeCell(row.pictureMs, row.decodeMs).constData(),
                    timeCell(row.measureMs, row.decodeMs).constData(), memoryCell(row.windowPeakMiB).constData(),
                    memoryCell(row.measurePeakMiB).constData());
    std::fflush(stdout);
}
