// The pictures and default profiles installed beside the executable.
#include "lcmshandles.h"
#include "resourcedir.h"

#include <QtTest>

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void pictures_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("Splash.png") << QSize();
        QTest::newRow("White.png") << QSize();
        QTest::newRow("MidHeader.png") << QSize(420, 40);
        QTest::newRow("RightHeader.png") << QSize(160, 40);
    }

    void pictures()
    {
        QFETCH(QSize, size);
        const QImage picture(getResourceDir() + "/" + QTest::currentDataTag());
        QVERIFY(!picture.isNull());
        if (size.isValid())
            QCOMPARE(picture.size(), size);
    }

    void defaultProfiles_data()
    {
        QTest::addColumn<uint>("colorSpace");
        QTest::addColumn<uint>("pixelFormat");
        QTest::newRow("DefaultGray.icc") << uint(cmsSigGrayData) << uint(TYPE_GRAY_FLT);
        QTest::newRow("DefaultCMYK.icc") << uint(cmsSigCmykData) << uint(TYPE_CMYK_FLT);
        QTest::newRow("Default2Color.icc") << uint(cmsSigMCH2Data)
                                           << uint(FLOAT_SH(1) | COLORSPACE_SH(PT_MCH2) | CHANNELS_SH(2) | BYTES_SH(4));
    }

    // Each default opens, has the colour space its name promises, a usable PCS,
    // and converts to L*a*b*: paper white is light, full ink is dark.
    void defaultProfiles()
    {
        QFETCH(uint, colorSpace);
        QFETCH(uint, pixelFormat);
        const QByteArray path = (getResourceDir() + "/" + QTest::currentDataTag()).toLocal8Bit();
        ProfileHandle profile(cmsOpenProfileFromFile(path.constData(), "r"));
        QVERIFY(profile);
        QCOMPARE(uint(cmsGetColorSpace(profile.get())), colorSpace);
        const cmsColorSpaceSignature pcs = cmsGetPCS(profile.get());
        QVERIFY(pcs == cmsSigXYZData || pcs == cmsSigLabData);

        ProfileHandle lab(cmsCreateLab4Profile(nullptr));
        TransformHandle toLab(cmsCreateTransform(profile.get(), pixelFormat, lab.get(), TYPE_Lab_DBL,
                                                 INTENT_RELATIVE_COLORIMETRIC, 0));
        QVERIFY(toLab);
        // Grey levels are fractions where 1 is white; ink spaces count ink, where 0 is paper.
        const bool inks = colorSpace != cmsSigGrayData;
        const float paper[4] = {inks ? 0.0f : 1.0f, 0, 0, 0};
        const float full[4] = {inks ? 100.0f : 0.0f, inks ? 100.0f : 0.0f, inks ? 100.0f : 0.0f, inks ? 100.0f : 0.0f};
        cmsCIELab paperLab, fullLab;
        cmsDoTransform(toLab.get(), paper, &paperLab, 1);
        cmsDoTransform(toLab.get(), full, &fullLab, 1);
        QVERIFY2(paperLab.L > 90.0, qPrintable(QString::number(paperLab.L)));
        QVERIFY2(fullLab.L < 30.0, qPrintable(QString::number(fullLab.L)));
    }
};

QTEST_MAIN(TestResources)
#include "test_resources.moc"
