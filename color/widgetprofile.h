#pragma once

#include <lcms2.h>

class QWidget;

// A new profile handle, owned by the caller, for the monitor that shows widget;
// the built-in sRGB profile when the monitor has none that opens.
cmsHPROFILE getWidgetProfile(const QWidget *widget);
