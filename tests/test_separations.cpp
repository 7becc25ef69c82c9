// Four-ink TIFF separations opened through Load Image, end to end.
#include "lcmshandles.h"
#include "modaldialogs.h"
#include "profiles.h"
#include "resourcedir.h"
#include "testenvironment.h"
#include "tifffiles.h"
#include "windowtestaccess.h"

#include <QtTest>
#include <QtWidgets>

namespace {

QStringList loadImage(CVCImageWindow &window, const QString &path)
{
    return clickThroughDialog(WindowTestAccess(window).ui().loadImagePB, path);
}

QStringList inkTexts(WindowTestAccess &access)
{
    Ui::ImageWindow &ui = access.ui();
    return {ui.cL->text(), ui.mL->text(), ui.yL->text(), ui.kL->text(), ui.tL->text()};
}

// Pixels of x < 2 carry the measured inks; the others are left out, either by
// full ink everywhere or by no coverage at all.
TiffPage measuredSeparation(int bits, const int inks[4], bool alpha)
{
    const int full = bits == 16 ? 65535 : 255;
    TiffPage page;
    page.width = 4;
    page.height = 2;
    page.bits = bits;
    page.extraSample = alpha ? int(EXTRASAMPLE_UNASSALPHA) : -1;
    page.sample = [=](int x, int, int s) {
        if (s == 4)
            return x == 3 ? 0 : full;
        if (x < 2)
            return inks[s];
        return x == 2 ? full : inks[s];
    };
    return page;
}

} // namespace

class TestSeparations : public QObject
{
    Q_OBJECT

    QString dir;

private slots:
    void initTestCase()
    {
        setUpTestEnvironment();
        dir = testDirectory() + "/separations";
        QDir().mkpath(dir);
    }

    void inkCoverageOfSeparation_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("alpha");
        QTest::newRow("8-bit") << 8 << false;
        QTest::newRow("8-bit with alpha") << 8 << true;
        QTest::newRow("16-bit with alpha") << 16 << true;
    }

    void inkCoverageOfSeparation()
    {
        QFETCH(int, bits);
        QFETCH(bool, alpha);
        const int scale = bits == 16 ? 257 : 1;
        const int inks[4] = {51 * scale, 76 * scale, 102 * scale, 26 * scale};
        TiffPage page = measuredSeparation(bits, inks, alpha);
        if (!alpha)
            page.sample = [inks](int x, int, int s) { return x == 2 ? 255 : inks[s]; };
        const QString path = dir + "/separation.tif";
        QVERIFY(writeTiff(path, {page}));

        CVCImageWindow window;
        WindowTestAccess access(window);
        QCOMPARE(loadImage(window, path), QStringList());
        QCOMPARE(access.attributes().value("NumberOfInks"), 4);
        QCOMPARE(access.attributes().value("Photometric"), 5);
        QCOMPARE(access.ui().embeddedL->text(), QString("none (Default CMYK assigned)"));
        QVERIFY(!access.ui().destinationF->isHidden());
        QVERIFY(!access.ui().separationCB->isChecked());
        QVERIFY(access.ui().cmykF->isHidden());
        QCOMPARE(access.pixelCount(), alpha ? 4 : 6);
        // 51, 76, 102 and 26 of 255 are 20.0, 29.8, 40.0 and 10.2 per cent.
        QCOMPARE(inkTexts(access), QStringList({"20%", "30%", "40%", "10%", "100%"}));
        const double exactCyan = 100.0 * inks[0] / (bits == 16 ? 65535 : 255);
        QVERIFY(qAbs(access.channelSum(0) / access.pixelCount() - exactCyan) < 1e-4);

        access.ui().separationCB->click();
        QVERIFY(!access.ui().cmykF->isHidden());

        // The measurement equals Little CMS's conversion of the file's mean inks.
        ProfileHandle cmyk(openDefaultCmyk());
        ProfileHandle lab(cmsCreateLab2Profile(nullptr));
        TransformHandle toLab(cmsCreateTransform(cmyk.get(), TYPE_CMYK_DBL, lab.get(), TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0));
        const double full = bits == 16 ? 65535 : 255;
        const double mean[4] = {100 * inks[0] / full, 100 * inks[1] / full, 100 * inks[2] / full, 100 * inks[3] / full};
        cmsCIELab expected;
        cmsDoTransform(toLab.get(), mean, &expected, 1);
        QVERIFY(qAbs(access.ui().lL->text().toDouble() - expected.L) <= 0.0051);
        QVERIFY(qAbs(access.ui().bL->text().toDouble() - expected.b) <= 0.0051);
    }

    void embeddedProfileOfSeparation()
    {
        ProfileHandle cmyk(openDefaultCmyk());
        setDescription(cmyk.get(), "Press Proof CMYK");
        TiffPage page;
        page.icc = profileBytes(cmyk.get());
        page.sample = [](int, int, int s) { return 40 * s; };
        const QString path = dir + "/profiled.tif";
        QVERIFY(writeTiff(path, {page}));
        CVCImageWindow window;
        WindowTestAccess access(window);
        QCOMPARE(loadImage(window, path), QStringList());
        QCOMPARE(access.ui().embeddedL->text(), QString("Press Proof CMYK"));
        QCOMPARE(access.ui().imageL->text(), QString("profiled.tif"));
    }

    void unsupportedTiffsAreRefused_data()
    {
        QTest::addColumn<int>("photometric");
        QTest::addColumn<int>("colours");
        QTest::newRow("five inks") << PHOTOMETRIC_SEPARATED << 5;
        QTest::newRow("Lab") << PHOTOMETRIC_CIELAB << 3;
    }

    void unsupportedTiffsAreRefused()
    {
        QFETCH(int, photometric);
        QFETCH(int, colours);
        TiffPage page;
        page.photometric = photometric;
        page.colourSamples = colours;
        page.numberOfInksTag = photometric == PHOTOMETRIC_SEPARATED ? colours : 0;
        const QString path = dir + "/unsupported.tif";
        QVERIFY(writeTiff(path, {page}));
        CVCImageWindow window;
        QCOMPARE(loadImage(window, path), QStringList({"This image is not supported!"}));
    }

    void truncatedTiffWarns()
    {
        TiffPage page;
        page.width = 64;
        page.height = 64;
        const QString path = dir + "/truncated.tif";
        QVERIFY(writeTiff(path, {page}));
        QFile file(path);
        QVERIFY(file.resize(200));
        CVCImageWindow window;
        const QStringList warnings = loadImage(window, path);
        QCOMPARE(warnings.size(), 1);
        QVERIFY(warnings[0] == "noImage" || warnings[0] == "imageReadFail");
    }

    void announcedSeparationOfRgbPages()
    {
        QVector<TiffPage> pages(3);
        const int levels[3][3] = {{200, 200, 200}, {51, 102, 153}, {51, 255, 0}};
        for (int i = 0; i < 3; ++i) {
            pages[i].photometric = PHOTOMETRIC_RGB;
            pages[i].colourSamples = 3;
            pages[i].description = "NumberOfInks:4;Photometric:5";
            pages[i].sample = [levels, i](int, int, int s) { return levels[i][s]; };
        }
        const QString path = dir + "/announced.tif";
        QVERIFY(writeTiff(path, pages));
        CVCImageWindow window;
        WindowTestAccess access(window);
        QCOMPARE(loadImage(window, path), QStringList());
        QCOMPARE(inkTexts(access), QStringList({"20%", "40%", "60%", "20%", "140%"}));
    }
};

QTEST_MAIN(TestSeparations)
#include "test_separations.moc"
