#include "referencechart.h"

#include <algorithm>

bool ReferenceChart::hasTones() const
{
    return !patches.isEmpty() &&
           std::all_of(patches.begin(), patches.end(), [](const ReferencePatch &p) { return p.tones.has_value(); });
}

QStringList ReferenceChart::identifiers() const
{
    QStringList ids;
    for (const ReferencePatch &patch : patches)
        ids << patch.id;
    return ids;
}
