// Pixel formats by channel count and the clamped conversion for the monitor.
#include "colourprofile.h"
#include "colourspacename.h"
#include "displayconversion.h"
#include "lcmshandles.h"
#include "pixelformat.h"

#include <QtTest>

#include <cstring>

class TestColor : public QObject
{
    Q_OBJECT

private slots:
    void pixelFormats_data()
    {
        QTest::addColumn<int>("channels");
        QTest::addColumn<uint>("format");
        QTest::addColumn<uint>("scaleBits");
        const uint one = 0x3F800000u;
        const uint per255 = 0x3B808081u;
        const uint formats[] = {0x43000C, 0x500014, 0x44001C, 0x460024, 0x53002C, 0x540034, 0x55003C, 0x560044,
                                0x57004C, 0x580054, 0x59005C, 0x5A0064, 0x5B006C, 0x5C0074, 0x5D007C};
        for (int n = 1; n <= 15; ++n)
            QTest::newRow(qPrintable(QString("%1 channels").arg(n)))
                << n << formats[n - 1] << (n <= 3 ? per255 : one);
    }

    void pixelFormats()
    {
        QFETCH(int, channels);
        QFETCH(uint, format);
        QFETCH(uint, scaleBits);
        cmsUInt32Number pixelFormat = 0;
        float scale = 0.0f;
        QVERIFY(getPixelFormat(channels, &pixelFormat, &scale));
        QCOMPARE(uint(pixelFormat), format);
        uint bits;
        std::memcpy(&bits, &scale, sizeof bits);
        QCOMPARE(bits, scaleBits);
    }

    void countsWithoutFormat_data()
    {
        QTest::addColumn<int>("channels");
        QTest::newRow("0") << 0;
        QTest::newRow("16") << 16;
        QTest::newRow("-3") << -3;
    }

    void countsWithoutFormat()
    {
        QFETCH(int, channels);
        cmsUInt32Number pixelFormat = 0xDEADu;
        float scale = 7.0f;
        QVERIFY(!getPixelFormat(channels, &pixelFormat, &scale));
        QCOMPARE(uint(pixelFormat), 0xDEADu);
        QCOMPARE(scale, 1.0f);
    }

    void colourSpaceNames_data()
    {
        QTest::addColumn<uint>("signature");
        QTest::addColumn<QString>("name");
        QTest::newRow("grey") << uint(cmsSigGrayData) << "Gray";
        QTest::newRow("RGB, blank trimmed") << uint(cmsSigRgbData) << "RGB";
        QTest::newRow("CMYK") << uint(cmsSigCmykData) << "CMYK";
        QTest::newRow("Lab") << uint(cmsSigLabData) << "L*a*b*";
        QTest::newRow("two colours") << uint(cmsSigMCH2Data) << "MCH2";
        QTest::newRow("not printable") << 0x01024142u << "0x01024142";
    }

    void colourSpaceNames()
    {
        QFETCH(uint, signature);
        QFETCH(QString, name);
        QCOMPARE(colourSpaceName(signature), name);
    }

    // Colours outside the monitor gamut come out of Little CMS below 0 or above 1.
    void displayValuesStayInRange()
    {
        const cmsCIExyYTRIPLE widePrimaries = {{0.735, 0.265, 1.0}, {0.115, 0.826, 1.0}, {0.157, 0.018, 1.0}};
        cmsToneCurve *linear = cmsBuildGamma(nullptr, 1.0);
        cmsToneCurve *curves[3] = {linear, linear, linear};
        ProfileHandle wide(cmsCreateRGBProfile(cmsD50_xyY(), &widePrimaries, curves));
        cmsFreeToneCurve(linear);
        ProfileHandle srgb(cmsCreate_sRGBProfile());
        TransformHandle unbounded(cmsCreateTransform(wide.get(), TYPE_RGB_FLT, srgb.get(), TYPE_RGB_FLT,
                                                     INTENT_RELATIVE_COLORIMETRIC, 0));
        QVERIFY(unbounded);
        const float saturated[][4] = {{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}, {255, 255, 255, 0}, {0, 0, 0, 0}};
        bool sawOutOfRange = false;
        for (const auto &pixel : saturated) {
            float raw[3];
            const float fractions[4] = {pixel[0] / 255.0f, pixel[1] / 255.0f, pixel[2] / 255.0f, 0};
            cmsDoTransform(unbounded.get(), fractions, raw, 1);
            float rgb[3];
            convertToDisplay(unbounded.get(), 1.0f / 255.0f, pixel, rgb);
            for (int i = 0; i < 3; ++i) {
                sawOutOfRange = sawOutOfRange || raw[i] < 0.0f || raw[i] > 1.0f;
                QVERIFY(rgb[i] >= 0.0f && rgb[i] <= 255.0f);
                QCOMPARE(rgb[i], std::clamp(float(double(raw[i]) * 255.0), 0.0f, 255.0f));
            }
        }
        QVERIFY(sawOutOfRange);
    }

    // A copy for another thread measures as the original, to the last bit, for
    // Little CMS's built-in sRGB too, whose numbers saving would round.
    void exactCopyMeasuresAsTheOriginal()
    {
        const ColourProfile lab = ColourProfile::lab();
        const ColourProfile srgb = ColourProfile::srgb();
        const ColourProfile saved = ColourProfile::copyOf(srgb.handle());
        const auto redToLab = [&lab](const ColourProfile &profile) {
            TransformHandle toLab(cmsCreateTransform(profile.handle(), TYPE_RGB_DBL, lab.exactCopy().handle(),
                                                     TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0));
            const double red[3] = {1.0, 0.0, 0.0};
            cmsCIELab result{};
            cmsDoTransform(toLab.get(), red, &result, 1);
            return std::array<double, 3>{result.L, result.a, result.b};
        };
        QVERIFY(redToLab(saved) != redToLab(srgb));
        QCOMPARE(redToLab(srgb.exactCopy()), redToLab(srgb));
        QCOMPARE(redToLab(saved.exactCopy()), redToLab(saved));
    }
};

QTEST_MAIN(TestColor)
#include "test_color.moc"
