#include "colourbarfiles.h"

#include "imagefiles.h"
#include "profiles.h"
#include "tifffiles.h"

#include <lcms2.h>

QVector<WedgePatch> testWedge()
{
    return {{"P", {0, 0, 0, 0}},         {"C", {100, 0, 0, 0}},    {"M", {0, 100, 0, 0}},    {"Y", {0, 0, 100, 0}},
            {"K", {0, 0, 0, 100}},       {"CM", {100, 100, 0, 0}}, {"CY", {100, 0, 100, 0}}, {"MY", {0, 100, 100, 0}},
            {"CMY", {100, 100, 100, 0}}, {"G20", {20, 20, 20, 0}}, {"G40", {40, 40, 40, 0}}, {"G60", {60, 60, 60, 0}},
            {"C40", {40, 0, 0, 0}},      {"M40", {0, 40, 0, 0}},   {"Y40", {0, 0, 40, 0}},   {"K40", {0, 0, 0, 40}}};
}

QString writeWedgeTiff(const QString &path, const QVector<WedgePatch> &wedge, int columns, int cell, int margin)
{
    const int rows = (wedge.size() + columns - 1) / columns;
    TiffPage page;
    page.width = columns * cell + 2 * margin;
    page.height = rows * cell + 2 * margin;
    page.sample = [=](int x, int y, int sample) {
        const int column = (x - margin) / cell;
        const int row = (y - margin) / cell;
        const int index = row * columns + column;
        if (x < margin || y < margin || column >= columns || index >= wedge.size())
            return 0;
        return wedge[index].cmyk[size_t(sample)] * 255 / 100;
    };
    return writeTiff(path, {page}) ? path : QString();
}

QString writeWedgeReference(const QString &path, const QVector<WedgePatch> &wedge, bool withTones,
                            const QString &shiftedId, double shiftL)
{
    cmsHPROFILE cmyk = openDefaultCmyk();
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
    cmsHTRANSFORM transform =
        cmsCreateTransform(cmyk, TYPE_CMYK_DBL, lab, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
    QByteArray text = "CGATS.17\nORIGINATOR \"test\"\nNUMBER_OF_FIELDS " + QByteArray::number(withTones ? 8 : 4) +
                      "\nBEGIN_DATA_FORMAT\nSAMPLE_ID " + (withTones ? "CMYK_C CMYK_M CMYK_Y CMYK_K " : "") +
                      "LAB_L LAB_A LAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS " + QByteArray::number(wedge.size()) +
                      "\nBEGIN_DATA\n";
    for (const WedgePatch &patch : wedge) {
        const double inks[4] = {double(patch.cmyk[0]), double(patch.cmyk[1]), double(patch.cmyk[2]),
                                double(patch.cmyk[3])};
        cmsCIELab aim;
        cmsDoTransform(transform, inks, &aim, 1);
        if (patch.id == shiftedId)
            aim.L += shiftL;
        QByteArray row = patch.id.toUtf8();
        if (withTones)
            for (int ink : patch.cmyk)
                row += " " + QByteArray::number(ink);
        row += QString(" %1 %2 %3\n").arg(aim.L, 0, 'f', 4).arg(aim.a, 0, 'f', 4).arg(aim.b, 0, 'f', 4).toUtf8();
        text += row;
    }
    cmsDeleteTransform(transform);
    cmsCloseProfile(lab);
    cmsCloseProfile(cmyk);
    return writeFile(path, text + "END_DATA\n");
}
