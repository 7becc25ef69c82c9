#pragma once

// Chooses the Qt platform before the application starts: the X server when
// DISPLAY names one that answers, so the pixels' trip to it is timed too;
// offscreen otherwise. A QT_QPA_PLATFORM already set is kept.
void chooseDisplayPlatform();
