#include "profilefit.h"

#include "colourspacename.h"

#include <QCoreApplication>

cmsUInt32Number colourSpaceForPhotometric(int photometric)
{
    switch (photometric) {
    case 1:
        return cmsSigGrayData;
    case 2:
        return cmsSigRgbData;
    case 5:
        return cmsSigCmykData;
    default:
        return cmsSigLabData;
    }
}

cmsUInt32Number expectedColourSpace(const ImageAttributes &attributes)
{
    if (attributes.contains("Photometric"))
        return colourSpaceForPhotometric(attributes.value("Photometric"));
    switch (numberOfInks(attributes)) {
    case 1:
        return cmsSigGrayData;
    case 3:
        return cmsSigRgbData;
    case 4:
        return cmsSigCmykData;
    default:
        return colourSpaceForPhotometric(0);
    }
}

QString profileMismatch(const ImageAttributes &attributes, const ColourProfile &candidate)
{
    const cmsUInt32Number expected = expectedColourSpace(attributes);
    if (candidate.colourSpace() != expected)
        return QCoreApplication::translate("CVCImageWindow", "The profile's colour space is %1; this image needs %2.")
            .arg(colourSpaceName(candidate.colourSpace()), colourSpaceName(expected));
    const cmsUInt32Number connection = candidate.connectionSpace();
    if (connection != cmsSigXYZData && connection != cmsSigLabData)
        return QCoreApplication::translate("CVCImageWindow",
                                           "The profile connects through %1; only XYZ and L*a*b* connections can be used.")
            .arg(colourSpaceName(connection));
    return QString();
}
