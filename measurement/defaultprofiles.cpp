#include "defaultprofiles.h"

#include <QCoreApplication>

QString defaultProfileText(int numberOfInks)
{
    return QCoreApplication::translate("CVCImageWindow", "none (%1 assigned)").arg(defaultProfileName(numberOfInks));
}

QString defaultProfileName(int numberOfInks)
{
    switch (numberOfInks) {
    case 1:
        return QCoreApplication::translate("CVCImageWindow", "Default Gray");
    case 3:
        return QCoreApplication::translate("CVCImageWindow", "sRGB");
    case 4:
        return QCoreApplication::translate("CVCImageWindow", "Default CMYK");
    default:
        return QCoreApplication::translate("CVCImageWindow", "Default %1Color").arg(numberOfInks);
    }
}

QString defaultProfileFile(const QString &resourceDir, int numberOfInks)
{
    switch (numberOfInks) {
    case 1:
        return resourceDir + "/DefaultGray.icc";
    case 3:
        return QString();
    case 4:
        return resourceDir + "/DefaultCMYK.icc";
    default:
        return resourceDir + QString("/Default%1Color.icc").arg(numberOfInks);
    }
}

ColourProfile defaultProfile(const QString &resourceDir, int numberOfInks)
{
    if (numberOfInks == 3)
        return ColourProfile::srgb();
    return ColourProfile::fromFile(defaultProfileFile(resourceDir, numberOfInks));
}
