#include "colourprofile.h"

#include "regularfile.h"

#include <QFile>

#include <lcms2_plugin.h>

#include <cstdlib>

namespace {

// Little CMS believes the sizes a profile states: a damaged or hostile
// profile of a few hundred bytes can make it ask for hundreds of megabytes
// for a text tag. No real profile needs a single block this large, so such a
// request fails and the profile reads as broken.
constexpr cmsUInt32Number largestBlock = 128u << 20;

void *limitedMalloc(cmsContext, cmsUInt32Number size)
{
    return size > largestBlock ? nullptr : std::malloc(size);
}

void limitedFree(cmsContext, void *block)
{
    std::free(block);
}

void *limitedRealloc(cmsContext, void *block, cmsUInt32Number size)
{
    return size > largestBlock ? nullptr : std::realloc(block, size);
}

// Once, before the first profile from outside is read.
void limitLittleCmsMemory()
{
    static cmsPluginMemHandler handler = {
        {cmsPluginMagicNumber, 2000, cmsPluginMemHandlerSig, nullptr}, limitedMalloc, limitedFree, limitedRealloc,
        nullptr, nullptr, nullptr};
    static const bool registered = cmsPlugin(&handler);
    Q_UNUSED(registered);
}

} // namespace

ColourProfile ColourProfile::fromBytes(const QByteArray &icc)
{
    if (icc.isEmpty())
        return ColourProfile();
    limitLittleCmsMemory();
    return ColourProfile(cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size())));
}

ColourProfile ColourProfile::fromFile(const QString &path)
{
    if (!notRegularFileReason(path).isEmpty())
        return ColourProfile();
    limitLittleCmsMemory();
    return ColourProfile(cmsOpenProfileFromFile(QFile::encodeName(path).constData(), "r"));
}

ColourProfile ColourProfile::copyOf(cmsHPROFILE handle)
{
    const QByteArray bytes = savedBytes(handle);
    if (bytes.isEmpty())
        return ColourProfile();
    return ColourProfile(cmsOpenProfileFromMem(bytes.constData(), cmsUInt32Number(bytes.size())));
}

QByteArray ColourProfile::savedBytes(cmsHPROFILE handle)
{
    cmsUInt32Number size = 0;
    if (!handle || !cmsSaveProfileToMem(handle, nullptr, &size))
        return QByteArray();
    QByteArray bytes(int(size), Qt::Uninitialized);
    if (!cmsSaveProfileToMem(handle, bytes.data(), &size))
        return QByteArray();
    return bytes;
}

ColourProfile ColourProfile::srgb()
{
    return ColourProfile(cmsCreate_sRGBProfile(), BuiltIn::Srgb);
}

ColourProfile ColourProfile::lab()
{
    return ColourProfile(cmsCreateLab2Profile(nullptr), BuiltIn::Lab);
}

ColourProfile ColourProfile::exactCopy() const
{
    switch (builtIn) {
    case BuiltIn::Srgb:
        return srgb();
    case BuiltIn::Lab:
        return lab();
    case BuiltIn::None:
        break;
    }
    return copyOf(handle());
}

ColourProfile ColourProfile::adopt(cmsHPROFILE handle)
{
    return ColourProfile(handle);
}

cmsHPROFILE ColourProfile::release()
{
    return owned.release();
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

QString ColourProfile::descriptionOr(const QString &fallback) const
{
    const QString text = description();
    return text.isEmpty() ? fallback : text;
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
