#include "widgetprofile.h"

#include "colourprofile.h"
#include "monitorprofile.h"

#include <QDebug>
#include <QWidget>

cmsHPROFILE getWidgetProfile(const QWidget *widget)
{
    if (!widget)
        qDebug("Widget is NULL");
    ColourProfile monitor = ColourProfile::fromBytes(monitorProfileBytes(widget));
    if (monitor)
        return monitor.release();
    qDebug("Using standard sRGB profile");
    return cmsCreate_sRGBProfile();
}
