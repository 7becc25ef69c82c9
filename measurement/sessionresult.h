#pragma once

#include "averagecolour.h"
#include "displayrendering.h"
#include "failure.h"

#include <QStringList>

#include <optional>

// What one operation on the measuring session gave; the window and
// lumivant-measure only present it.
struct SessionResult {
    // Why there is no average, or why a choice was refused and nothing changed.
    Failure failure;
    // Set when the picture had to be shown without any profile of the image's own.
    Failure profileMissing;
    std::optional<AverageColour> average;
    // The unmasked pixels of a pass the operation ran; 0 when it ran none.
    qint64 pixelsCounted = 0;
    // The sentences for the status bar, in the order they arose.
    QStringList notes;
    // The picture rendered again for the monitor; nothing when the operation drew none.
    std::optional<RenderedDisplay> display;
};
