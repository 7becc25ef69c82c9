#pragma once

#include "colourprofile.h"
#include "displayrendering.h"
#include "failure.h"
#include "pixelvalues.h"

#include <QString>

#include <optional>

class WorkControl;

// A profile choice on its way into the session: the pixels counted again for
// the picture to be drawn anew (the view draws it), as work that owns all it
// touches, so that it may run on any thread and be abandoned. Made by the
// session's choice operations and taken in by MeasuringSession::apply(); a
// choice that is refused carries its failure and does no work, and a job
// that is dropped changes nothing.
class ProfileChoiceJob
{
public:
    void run(WorkControl *control = nullptr);

private:
    friend class MeasuringSession;
    ProfileChoiceJob() = default;

    Failure refused;
    // A redraw for another monitor changes no choice and measures nothing again.
    bool redraw = false;
    bool embedded = true;
    // A hand-loaded profile taking the place of the one in force, and its name; null when it stays.
    ColourProfile handLoaded;
    QString handLoadedText;
    PixelTotals totals;
    // Without a monitor no picture is drawn.
    std::optional<ColourProfile> monitor;
    std::optional<RenderedDisplay> rendered;
};
