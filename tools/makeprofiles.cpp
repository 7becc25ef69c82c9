// Writes the default source profiles that Little CMS can make for us:
// a D50 gamma-2.2 grey profile and a two-colour (duotone) profile.
#include <lcms2.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

void setText(cmsHPROFILE profile, cmsTagSignature tag, const char *text)
{
    cmsMLU *mlu = cmsMLUalloc(nullptr, 1);
    cmsMLUsetASCII(mlu, "en", "US", text);
    cmsWriteTag(profile, tag, mlu);
    cmsMLUfree(mlu);
}

bool saveAndClose(cmsHPROFILE profile, const std::string &path)
{
    const bool saved = profile && cmsSaveProfileToFile(profile, path.c_str());
    if (profile)
        cmsCloseProfile(profile);
    if (!saved)
        std::fprintf(stderr, "makeprofiles: cannot write %s\n", path.c_str());
    return saved;
}

cmsHPROFILE makeGray()
{
    cmsToneCurve *gamma = cmsBuildGamma(nullptr, 2.2);
    cmsHPROFILE profile = cmsCreateGrayProfile(cmsD50_xyY(), gamma);
    cmsFreeToneCurve(gamma);
    if (profile) {
        setText(profile, cmsSigProfileDescriptionTag, "Lumivant Gray D50 Gamma 2.2");
        setText(profile, cmsSigCopyrightTag, "No copyright, use freely");
    }
    return profile;
}

// Ink 1 is a deep blue spot colour, ink 2 is black; both darken paper
// multiplicatively, which is what overprinting transparent inks does.
int duotoneSampler(const cmsUInt16Number in[], cmsUInt16Number out[], void *)
{
    const double spot = in[0] / 65535.0;
    const double black = in[1] / 65535.0;
    const double paper[3] = {0.9642, 1.0, 0.8249};
    const double spotXYZ[3] = {0.16, 0.13, 0.42};
    const double blackXYZ[3] = {0.012, 0.012, 0.010};
    cmsCIEXYZ xyz;
    double *channels[3] = {&xyz.X, &xyz.Y, &xyz.Z};
    for (int i = 0; i < 3; ++i) {
        const double spotFactor = 1.0 - spot * (1.0 - spotXYZ[i] / paper[i]);
        const double blackFactor = 1.0 - black * (1.0 - blackXYZ[i] / paper[i]);
        *channels[i] = paper[i] * spotFactor * blackFactor;
    }
    cmsCIELab lab;
    cmsXYZ2Lab(cmsD50_XYZ(), &lab, &xyz);
    cmsFloat2LabEncoded(out, &lab);
    return 1;
}

cmsStage *identityCurves(int channels)
{
    cmsToneCurve *linear = cmsBuildGamma(nullptr, 1.0);
    cmsToneCurve *curves[3] = {linear, linear, linear};
    cmsStage *stage = cmsStageAllocToneCurves(nullptr, cmsUInt32Number(channels), curves);
    cmsFreeToneCurve(linear);
    return stage;
}

cmsHPROFILE makeDuotone()
{
    cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
    if (!profile)
        return nullptr;
    cmsSetProfileVersion(profile, 4.3);
    cmsSetDeviceClass(profile, cmsSigOutputClass);
    cmsSetColorSpace(profile, cmsSigMCH2Data);
    cmsSetPCS(profile, cmsSigLabData);
    cmsSetHeaderRenderingIntent(profile, INTENT_PERCEPTUAL);

    // An AToB table is stored as input curves, grid and output curves; the curves are identities.
    cmsPipeline *toLab = cmsPipelineAlloc(nullptr, 2, 3);
    cmsStage *table = cmsStageAllocCLut16bit(nullptr, 33, 2, 3, nullptr);
    cmsStageSampleCLut16bit(table, duotoneSampler, nullptr, 0);
    cmsPipelineInsertStage(toLab, cmsAT_END, identityCurves(2));
    cmsPipelineInsertStage(toLab, cmsAT_END, table);
    cmsPipelineInsertStage(toLab, cmsAT_END, identityCurves(3));
    cmsWriteTag(profile, cmsSigAToB0Tag, toLab);
    cmsPipelineFree(toLab);

    cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ());
    setText(profile, cmsSigProfileDescriptionTag, "Lumivant Duotone Blue and Black");
    setText(profile, cmsSigCopyrightTag, "No copyright, use freely");
    return profile;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeprofiles OUTPUT_DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    const bool gray = saveAndClose(makeGray(), dir + "/DefaultGray.icc");
    const bool duotone = saveAndClose(makeDuotone(), dir + "/Default2Color.icc");
    return gray && duotone ? 0 : 1;
}
