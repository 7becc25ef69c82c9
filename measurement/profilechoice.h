#pragma once

#include "colourprofile.h"
#include "displayrendering.h"
#include "failure.h"
#include "pixelvalues.h"

#include <QString>

#include <optional>

// A profile choice on its way into the session. Made by the session's choice
// operations and taken in by MeasuringSession::apply(): it reads no pixel, as
// the counts of the load stay and the view draws the picture anew itself. A
// choice that is refused carries its failure, and one that is dropped changes nothing.
class ProfileChoice
{
private:
    friend class MeasuringSession;
    ProfileChoice() = default;

    Failure refused;
    // A redraw for another monitor changes no choice and measures nothing again.
    bool redraw = false;
    bool embedded = true;
    // A hand-loaded profile taking the place of the one in force, and its name; null when it stays.
    ColourProfile handLoaded;
    QString handLoadedText;
    // Without a monitor no picture is drawn.
    std::optional<RenderedDisplay> rendered;
};
