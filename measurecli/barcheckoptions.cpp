#include "barcheckoptions.h"

#include "patchassignment.h"
#include "patchsetfile.h"
#include "referencereader.h"

namespace {

bool parseNumbers(const QStringList &parts, int *values)
{
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts[i].toInt(&ok);
        if (!ok || values[i] < (i < 2 ? 0 : 1) || values[i] > PatchSetFile::largestCoordinate)
            return false;
    }
    return true;
}

bool parseCells(const QString &text, GridLayout *grid)
{
    const QStringList counts = text.split('x');
    bool rowsOk = false;
    bool columnsOk = false;
    if (counts.size() != 2)
        return false;
    grid->rows = counts[0].toInt(&rowsOk);
    grid->columns = counts[1].toInt(&columnsOk);
    return rowsOk && columnsOk && grid->rows >= 1 && grid->columns >= 1 && grid->rows <= 10000 &&
           grid->columns <= 10000;
}

// ORDER and INSET may each be left out; an order is a word, an inset a number.
bool parseTail(const QStringList &tail, GridLayout *grid)
{
    for (int k = 0; k < tail.size(); ++k) {
        bool isNumber = false;
        const double inset = tail[k].toDouble(&isNumber);
        if (isNumber && k == tail.size() - 1 && inset >= 0.0 && inset < 50.0)
            grid->insetPercent = inset;
        else if (k == 0 && (tail[k] == "rows" || tail[k] == "columns"))
            grid->order = tail[k] == "rows" ? GridOrder::RowMajor : GridOrder::ColumnMajor;
        else
            return false;
    }
    return true;
}

} // namespace

bool parseGrid(const QString &text, GridLayout *grid)
{
    const QStringList parts = text.split(',');
    int values[4];
    if (parts.size() < 5 || parts.size() > 7 || !parseNumbers(parts, values))
        return false;
    grid->area = QRect(values[0], values[1], values[2], values[3]);
    return parseCells(parts[4], grid) && parseTail(parts.mid(5), grid);
}

QString setUpBarCheck(const QString &referencePath, const std::optional<GridLayout> &grid, const QString &tolerancePath,
                      const QString &resourceDir, MeasureOptions *options)
{
    const ReferenceReading reference = readReferenceFile(referencePath);
    if (!reference.ok())
        return reference.error;
    const ToleranceReading tolerances =
        readToleranceFile(tolerancePath.isEmpty() ? shippedToleranceFiles(resourceDir).first() : tolerancePath);
    if (!tolerances.ok())
        return tolerances.error;
    const PatchAssignment assignment =
        grid ? assignGrid(reference.chart, *grid) : assignPatchSet(reference.chart, options->patches);
    if (!assignment.ok())
        return assignment.error;
    options->patches = assignment.patches;
    options->check = BarCheckSetup{reference.chart, tolerances.set};
    return QString();
}
