#include "resulttable.h"

#include <QByteArray>

#include <cstdio>

namespace {

// Formatted as printf formats, so the table agrees with the lines above it.
QByteArray cell(const char *format, double value, double ratio = 0)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value, ratio);
    return text;
}

QByteArray timeCell(double ms, double decodeMs)
{
    if (ms < 0)
        return "-";
    return cell("%.0f (%.2fx)", ms, ms / decodeMs);
}

QByteArray memoryCell(double mib)
{
    return mib < 0 ? QByteArray("-") : cell("%.0f", mib);
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
        std::printf(format, qPrintable(row.input), cell("%.0f", row.decodeMs).constData(),
                    timeCell(row.valuesMs, row.decodeMs).constData(), timeCell(row.pictureMs, row.decodeMs).constData(),
                    timeCell(row.measureMs, row.decodeMs).constData(), memoryCell(row.windowPeakMiB).constData(),
                    memoryCell(row.measurePeakMiB).constData());
    std::fflush(stdout);
}
