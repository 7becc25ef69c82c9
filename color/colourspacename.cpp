#include "colourspacename.h"

QString colourSpaceName(cmsUInt32Number signature)
{
    switch (signature) {
    case cmsSigGrayData:
        return "Gray";
    case cmsSigLabData:
        return "L*a*b*";
    default:
        break;
    }
    QString text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = char((signature >> shift) & 0xff);
        if (c < 0x20 || c > 0x7e)
            return QString("0x%1").arg(signature, 8, 16, QChar('0'));
        text += QChar(c);
    }
    return text.trimmed();
}
