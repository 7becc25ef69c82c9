#include "barcheck.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

// Why the rows cannot be judged: the file's failure when every row shares
// it, else the first patch that could not be measured.
QString rowsError(const QVector<FileMeasurement> &rows)
{
    for (const FileMeasurement &row : rows) {
        if (row.ok())
            continue;
        const bool wholeFile =
            std::all_of(rows.begin(), rows.end(), [&row](const FileMeasurement &r) { return r.error == row.error; });
        if (wholeFile || !row.patch)
            return row.error;
        return QCoreApplication::translate("lumivant-measure", "Patch %1: %2").arg(row.patch->patch.name, row.error);
    }
    return QString();
}

} // namespace

FileBarCheck checkFile(const QString &file, const MeasureOptions &options, const QString &resourceDir)
{
    FileBarCheck result;
    result.file = file;
    result.rows = measureFileRows(file, options, resourceDir);
    result.check.error = rowsError(result.rows);
    if (!result.check.ok())
        return result;
    QVector<Patch> patches;
    QVector<PatchMeasurement> measurements;
    for (const FileMeasurement &row : result.rows) {
        patches << row.patch->patch;
        measurements << row.patch->measurement;
    }
    result.check = checkColourBar(options.check->reference, patches, measurements, options.check->tolerances);
    return result;
}
