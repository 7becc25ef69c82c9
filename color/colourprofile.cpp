#include "colourprofile.h"

ColourProfile ColourProfile::fromBytes(const QByteArray &icc)
{
    if (icc.isEmpty())
        return ColourProfile();
    return ColourProfile(cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size())));
}

ColourProfile ColourProfile::fromFile(const QString &path)
{
    return ColourProfile(cmsOpenProfileFromFile(path.toLocal8Bit().constData(), "r"));
}

ColourProfile ColourProfile::srgb()
{
    return ColourProfile(cmsCreate_sRGBProfile());
}

ColourProfile ColourProfile::lab()
{
    return ColourProfile(cmsCreateLab2Profile(nullptr));
}

ColourProfile ColourProfile::adopt(cmsHPROFILE handle)
{
    return ColourProfile(handle);
}

QString ColourProfile::description() const
{
    if (!owned)
        return QString();
    const cmsUInt32Number size = cmsGetProfileInfo(handle(), cmsInfoDescription, "en", "US", nullptr, 0);
    if (size == 0)
        return QString();
    // The wide-character size is always enough for the single-byte text.
    QByteArray buffer(int(size), '\0');
    const cmsUInt32Number count = cmsGetProfileInfoASCII(handle(), cmsInfoDescription, "en", "US", buffer.data(), size);
    if (count < size)
        buffer[int(count)] = '\0';
    return QString::fromUtf8(buffer.constData());
}

cmsUInt32Number ColourProfile::colourSpace() const
{
    return owned ? cmsUInt32Number(cmsGetColorSpace(handle())) : 0;
}

cmsUInt32Number ColourProfile::connectionSpace() const
{
    return owned ? cmsUInt32Number(cmsGetPCS(handle())) : 0;
}

int ColourProfile::channelCount() const
{
    // Every signature Little CMS knows lies below 2^31; others (from a damaged
    // file) are no value of its enumeration and name no channel count.
    if (!owned || colourSpace() > 0x7FFFFFFFu)
        return 3;
    const cmsInt32Number channels = cmsChannelsOfColorSpace(cmsColorSpaceSignature(colourSpace()));
    return channels > 0 ? int(channels) : 3;
}
