#include "widgetprofile.h"

#include "monitorprofile.h"

#include <QDebug>
#include <QWidget>

cmsHPROFILE getWidgetProfile(const QWidget *widget)
{
    if (!widget)
        qDebug("Widget is NULL");
    const QByteArray bytes = monitorProfileBytes(widget);
    if (!bytes.isEmpty()) {
        cmsHPROFILE profile = cmsOpenProfileFromMem(bytes.constData(), cmsUInt32Number(bytes.size()));
        if (profile)
            return profile;
    }
    qDebug("Using standard sRGB profile");
    return cmsCreate_sRGBProfile();
}
