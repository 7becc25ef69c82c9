#include "profiles.h"

#include "resourcedir.h"

#include <QFile>

cmsHPROFILE makeWideRgbProfile(const char *description)
{
    const cmsCIExyYTRIPLE primaries = {{0.735, 0.265, 1.0}, {0.115, 0.826, 1.0}, {0.157, 0.018, 1.0}};
    cmsToneCurve *linear = cmsBuildGamma(nullptr, 1.0);
    cmsToneCurve *curves[3] = {linear, linear, linear};
    cmsHPROFILE profile = cmsCreateRGBProfile(cmsD50_xyY(), &primaries, curves);
    cmsFreeToneCurve(linear);
    setDescription(profile, description);
    return profile;
}

cmsHPROFILE makeGrayProfile(const char *description)
{
    cmsToneCurve *gamma = cmsBuildGamma(nullptr, 2.2);
    cmsHPROFILE profile = cmsCreateGrayProfile(cmsD50_xyY(), gamma);
    cmsFreeToneCurve(gamma);
    setDescription(profile, description);
    return profile;
}

cmsHPROFILE makeOverflowingRgbProfile(const char *description)
{
    // Y = (1e30 X)^2
    const cmsFloat64Number parameters[] = {2.0, 1e30, 0.0};
    cmsToneCurve *overflowing = cmsBuildParametricToneCurve(nullptr, 2, parameters);
    cmsToneCurve *curves[3] = {overflowing, overflowing, overflowing};
    const cmsCIExyYTRIPLE primaries = {{0.64, 0.33, 1.0}, {0.30, 0.60, 1.0}, {0.15, 0.06, 1.0}};
    cmsHPROFILE profile = cmsCreateRGBProfile(cmsD50_xyY(), &primaries, curves);
    cmsFreeToneCurve(overflowing);
    setDescription(profile, description);
    return profile;
}

void setDescription(cmsHPROFILE profile, const char *description)
{
    if (!*description) {
        cmsWriteTag(profile, cmsSigProfileDescriptionTag, nullptr);
        return;
    }
    cmsMLU *text = cmsMLUalloc(nullptr, 1);
    cmsMLUsetASCII(text, "en", "US", description);
    cmsWriteTag(profile, cmsSigProfileDescriptionTag, text);
    cmsMLUfree(text);
}

QByteArray profileBytes(cmsHPROFILE profile)
{
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    QByteArray bytes(int(size), '\0');
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    return bytes;
}

QString saveProfile(cmsHPROFILE profile, const QString &dir, const QString &name)
{
    const QString path = dir + "/" + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(profileBytes(profile));
    cmsCloseProfile(profile);
    return path;
}

cmsHPROFILE openDefaultCmyk()
{
    return cmsOpenProfileFromFile((getResourceDir() + "/DefaultCMYK.icc").toLocal8Bit().constData(), "r");
}
