#include "patchassignment.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ColourBar", text);
}

QString listed(QStringList ids)
{
    const int shown = 5;
    if (ids.size() > shown)
        return QStringList(ids.mid(0, shown)).join(", ") + tr(" and %1 more").arg(ids.size() - shown);
    return ids.join(", ");
}

} // namespace

PatchAssignment assignGrid(const ReferenceChart &reference, const GridLayout &grid)
{
    PatchAssignment assignment;
    const int wanted = reference.patches.size();
    if (grid.rows < 1 || grid.columns < 1 || grid.area.isEmpty()) {
        assignment.error = tr("The grid needs a rectangle and at least one row and one column.");
        return assignment;
    }
    if (grid.cellCount() != wanted) {
        assignment.error = tr("The grid has %1 cells (%2 × %3) but the reference %4 has %5 patches.")
                               .arg(grid.cellCount())
                               .arg(grid.rows)
                               .arg(grid.columns)
                               .arg(reference.file)
                               .arg(wanted);
        return assignment;
    }
    for (int k = 0; k < wanted; ++k) {
        const QPoint cell = grid.cellOf(k);
        const QRect measured = grid.measuredRect(cell.x(), cell.y());
        if (measured.isEmpty()) {
            assignment.patches.clear();
            assignment.error = tr("The cells are too small for an inset of %1 %.").arg(grid.insetPercent);
            return assignment;
        }
        assignment.patches << Patch{reference.patches[k].id, PatchShape::Rect, measured, false};
    }
    return assignment;
}

PatchAssignment assignPatchSet(const ReferenceChart &reference, const QVector<Patch> &set)
{
    PatchAssignment assignment;
    QHash<QString, Patch> byName;
    QStringList repeated;
    for (const Patch &patch : set) {
        if (byName.contains(patch.name))
            repeated << patch.name;
        byName.insert(patch.name, patch);
    }
    QStringList missing;
    for (const ReferencePatch &aim : reference.patches) {
        if (byName.contains(aim.id))
            assignment.patches << byName.take(aim.id);
        else
            missing << aim.id;
    }
    QStringList unknown = byName.keys();
    unknown.sort();
    QStringList problems;
    if (!missing.isEmpty())
        problems << tr("no patch for %1").arg(listed(missing));
    if (!unknown.isEmpty())
        problems << tr("patches not in the reference: %1").arg(listed(unknown));
    if (!repeated.isEmpty())
        problems << tr("names used twice: %1").arg(listed(repeated));
    if (!problems.isEmpty()) {
        assignment.patches.clear();
        assignment.error = tr("The patch set does not match the reference %1 (%2 patches): %3.")
                               .arg(reference.file)
                               .arg(reference.patches.size())
                               .arg(problems.join("; "));
    }
    return assignment;
}
