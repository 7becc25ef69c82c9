// The measured average: L*a*b* and L*C*h* values, intents, swatch and ink coverage.
#include "imagefiles.h"
#include "lcmshandles.h"
#include "profiles.h"
#include "resourcedir.h"
#include "testenvironment.h"
#include "tifffiles.h"
#include "windowtestaccess.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// L*a*b* (D50, version 2 encoding as the window measures) of one input value
// straight from Little CMS, in double precision.
cmsCIELab expectedLab(cmsHPROFILE profile, cmsUInt32Number format, const double value[4], int intent)
{
    ProfileHandle lab(cmsCreateLab2Profile(nullptr));
    TransformHandle toLab(cmsCreateTransform(profile, format, lab.get(), TYPE_Lab_DBL, cmsUInt32Number(intent), 0));
    cmsCIELab result{};
    cmsDoTransform(toLab.get(), value, &result, 1);
    return result;
}

void compareShown(const QLabel *label, double expected)
{
    bool ok = false;
    const double shown = label->text().toDouble(&ok);
    QVERIFY2(ok, qPrintable(label->text()));
    QVERIFY2(qAbs(shown - expected) <= 0.0051, qPrintable(QString("%1 shown, %2 expected").arg(label->text()).arg(expected)));
    QCOMPARE(label->text().section('.', 1).size(), 2);
}

struct InkPages {
    QImage page1;
    QImage page2;
};

// Two pixels whose inks average to C 20, M 30, Y 40, K 10 per cent.
InkPages twentyThirtyFortyTen()
{
    InkPages pages{QImage(2, 1, QImage::Format_RGB32), QImage(2, 1, QImage::Format_RGB32)};
    pages.page1.setPixel(0, 0, qRgb(51, 51, 102));
    pages.page1.setPixel(1, 0, qRgb(51, 102, 102));
    pages.page2.setPixel(0, 0, qRgb(0, 255, 0));
    pages.page2.setPixel(1, 0, qRgb(51, 255, 0));
    return pages;
}

// Hands the window the 20/30/40/10 separation under the default CMYK profile and measures it.
bool measureSeparation(WindowTestAccess &access)
{
    const InkPages pages = twentyThirtyFortyTen();
    access.holdImage(solidImage(2, 1, Qt::white), 4, openDefaultCmyk(), pages.page1, pages.page2);
    access.buildDisplayImage();
    return access.setupLabTransform();
}

QStringList inkTexts(WindowTestAccess &access)
{
    Ui::ImageWindow &ui = access.ui();
    return {ui.cL->text(), ui.mL->text(), ui.yL->text(), ui.kL->text(), ui.tL->text()};
}

// Opens a TIFF of one page in a shown window, as if chosen in the Open dialog.
void openTiff(CVCImageWindow &window, const TiffPage &page, const QString &name)
{
    const QString path = testDirectory() + "/" + name;
    QVERIFY(writeTiff(path, {page}));
    window.show();
    window.openImageFile(path);
}

} // namespace

class TestResults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpTestEnvironment(); }

    void whiteAndBlack_data()
    {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QString>("lightness");
        QTest::newRow("white") << QColor(255, 255, 255) << "100.00";
        QTest::newRow("black") << QColor(0, 0, 0) << "0.00";
    }

    void whiteAndBlack()
    {
        QFETCH(QColor, colour);
        QFETCH(QString, lightness);
        CVCImageWindow window;
        WindowTestAccess access(window);
        access.holdImage(solidImage(3, 2, colour), 3, cmsCreate_sRGBProfile());
        access.buildDisplayImage();
        QVERIFY(access.setupLabTransform());
        QCOMPARE(access.ui().lL->text(), lightness);
        QCOMPARE(access.ui().aL->text(), QString("0.00"));
        QCOMPARE(access.ui().bL->text(), QString("0.00"));
        QVERIFY(!access.ui().labF->isHidden());
    }

    void knownAveragesUnderEachIntent_data()
    {
        QTest::addColumn<int>("intent");
        QTest::addColumn<int>("inks");
        const char *intents[] = {"perceptual", "relative", "saturation", "absolute"};
        for (int intent = 0; intent < 4; ++intent) {
            QTest::newRow(qPrintable(QString("sRGB red, %1").arg(intents[intent]))) << intent << 3;
            QTest::newRow(qPrintable(QString("mid grey, %1").arg(intents[intent]))) << intent << 1;
            QTest::newRow(qPrintable(QString("four inks, %1").arg(intents[intent]))) << intent << 4;
        }
    }

    void knownAveragesUnderEachIntent()
    {
        QFETCH(int, intent);
        QFETCH(int, inks);
        CVCImageWindow window;
        WindowTestAccess access(window);
        access.ui().renderingCB->setCurrentIndex(intent);
        cmsCIELab expected{};
        if (inks == 3) {
            access.holdImage(solidImage(4, 4, QColor(255, 0, 0)), 3, cmsCreate_sRGBProfile());
            const double red[4] = {1.0, 0.0, 0.0, 0.0};
            ProfileHandle srgb(cmsCreate_sRGBProfile());
            expected = expectedLab(srgb.get(), TYPE_RGB_DBL, red, intent);
        } else if (inks == 1) {
            QImage grey(2, 2, QImage::Format_Grayscale8);
            grey.fill(QColor(128, 128, 128));
            access.holdImage(grey, 1, makeGrayProfile("grey"));
            const double level[4] = {128.0 / 255.0, 0, 0, 0};
            ProfileHandle gray(makeGrayProfile("grey"));
            expected = expectedLab(gray.get(), TYPE_GRAY_DBL, level, intent);
        } else {
            const InkPages pages = twentyThirtyFortyTen();
            access.holdImage(solidImage(2, 1, Qt::white), 4, openDefaultCmyk(), pages.page1, pages.page2);
            const double average[4] = {20, 30, 40, 10};
            ProfileHandle cmyk(openDefaultCmyk());
            expected = expectedLab(cmyk.get(), TYPE_CMYK_DBL, average, intent);
        }
        access.buildDisplayImage();
        QVERIFY(access.setupLabTransform());
        compareShown(access.ui().lL, expected.L);
        compareShown(access.ui().aL, expected.a);
        compareShown(access.ui().bL, expected.b);
    }

    void newIntentAppliesAtNextMeasurement()
    {
        CVCImageWindow window;
        WindowTestAccess access(window);
        QVERIFY(measureSeparation(access));
        const QStringList relative = {access.ui().lL->text(), access.ui().aL->text(), access.ui().bL->text()};
        const QString swatch = access.ui().colorL->styleSheet();

        access.ui().renderingCB->setCurrentIndex(3);
        QCOMPARE(QStringList({access.ui().lL->text(), access.ui().aL->text(), access.ui().bL->text()}), relative);
        QCOMPARE(access.ui().colorL->styleSheet(), swatch);

        QVERIFY(access.setupLabTransform());
        QVERIFY(QStringList({access.ui().lL->text(), access.ui().aL->text(), access.ui().bL->text()}) != relative);
    }

    // sRGB red, relative colorimetric to L*a*b* D50: 54.2896, 80.8144, 69.8897;
    // as L*C*h*: 106.8435, 40.8539 degrees.
    void labAndLchSwitch()
    {
        TiffPage red;
        red.photometric = PHOTOMETRIC_RGB;
        red.colourSamples = 3;
        red.sample = [](int, int, int s) { return s == 0 ? 255 : 0; };
        CVCImageWindow window;
        WindowTestAccess access(window);
        openTiff(window, red, "red.tif");
        Ui::ImageWindow &ui = access.ui();
        const auto shown = [&ui] {
            return QStringList({ui.label_7->text(), ui.lL->text(), ui.label_a->text(), ui.aL->text(),
                                ui.label_b->text(), ui.bL->text()});
        };
        QCOMPARE(shown(), QStringList({"L*", "54.29", "a*", "80.81", "b*", "69.89"}));
        const QString swatch = ui.colorL->styleSheet();

        QTest::mouseClick(ui.lchRB, Qt::LeftButton);
        QCOMPARE(shown(), QStringList({"L*", "54.29", "C*", "106.84", "h*", "40.85"}));
        QCOMPARE(ui.colorL->styleSheet(), swatch);

        QTest::mouseClick(ui.labRB, Qt::LeftButton);
        QCOMPARE(shown(), QStringList({"L*", "54.29", "a*", "80.81", "b*", "69.89"}));
    }

    // Solid cyan through the default CMYK profile, whose absolute colorimetric
    // values differ from the others.
    void newIntentMeasuresAtOnce()
    {
        TiffPage cyan;
        cyan.sample = [](int, int, int s) { return s == 0 ? 255 : 0; };
        CVCImageWindow window;
        WindowTestAccess access(window);
        openTiff(window, cyan, "cyan.tif");
        Ui::ImageWindow &ui = access.ui();
        const auto shown = [&ui] { return QStringList({ui.lL->text(), ui.aL->text(), ui.bL->text()}); };
        QCOMPARE(ui.renderingCB->currentText(), QString("Relative"));
        QCOMPARE(shown(), QStringList({"63.61", "-41.39", "-48.34"}));
        ui.renderingCB->setFocus();
        QTest::keyClick(ui.renderingCB, Qt::Key_End);
        QCOMPARE(ui.renderingCB->currentIndex(), 3);
        QCOMPARE(shown(), QStringList({"55.88", "-37.53", "-40.26"}));
        QTest::keyClick(ui.renderingCB, Qt::Key_Home);
        QCOMPARE(ui.renderingCB->currentIndex(), 0);
        QCOMPARE(shown(), QStringList({"63.61", "-41.39", "-48.34"}));
    }

    void negativeZeroOnlyHiddenInLab()
    {
        CVCImageWindow window;
        window.show();
        WindowTestAccess access(window);
        access.holdImage(solidImage(1, 1, Qt::gray), 3, cmsCreate_sRGBProfile());
        access.buildDisplayImage();
        QVERIFY(access.setupLabTransform());
        access.setAverages({-0.004f, -0.004f, -0.001f}, {-0.004f, 0.004f, 0.0f});
        Ui::ImageWindow &ui = access.ui();
        ui.labRB->click();
        QCOMPARE(ui.lL->text(), QString("-0.00"));
        QCOMPARE(ui.aL->text(), QString("0.00"));
        QCOMPARE(ui.bL->text(), QString("0.00"));
        access.setAverages({-0.004f, -0.004f, -0.001f}, {-0.004f, -0.001f, -0.002f});
        ui.lchRB->click();
        QCOMPARE(ui.aL->text(), QString("-0.00"));
        QCOMPARE(ui.bL->text(), QString("-0.00"));
    }

    void inkPanel()
    {
        CVCImageWindow window;
        WindowTestAccess access(window);
        QVERIFY(measureSeparation(access));
        QCOMPARE(inkTexts(access), QStringList({"20%", "30%", "40%", "10%", "100%"}));
        QVERIFY(!access.ui().cmykF->isHidden());

        access.holdImage(solidImage(2, 2, QColor(10, 20, 30)), 3, cmsCreate_sRGBProfile());
        access.buildDisplayImage();
        QVERIFY(access.setupLabTransform());
        QCOMPARE(inkTexts(access), QStringList({"20%", "30%", "40%", "10%", "100%"}));
    }

    void inkPanelStaysHiddenWithoutSeparation()
    {
        CVCImageWindow window;
        WindowTestAccess access(window);
        access.ui().separationCB->setChecked(false);
        QVERIFY(measureSeparation(access));
        QVERIFY(access.ui().cmykF->isHidden());
        QCOMPARE(access.ui().tL->text(), QString("100%"));
    }

    void noCountedPixelMeasuresZeroInput()
    {
        CVCImageWindow window;
        WindowTestAccess access(window);
        access.holdImage(solidImage(3, 3, QColor(0, 255, 0)), 3, cmsCreate_sRGBProfile());
        access.buildDisplayImage();
        QCOMPARE(access.pixelCount(), 0);
        QVERIFY(access.setupLabTransform());
        // Measured as one pixel of zeros; the count stays the picture's, which its patch row takes.
        QCOMPARE(access.pixelCount(), 0);
        QCOMPARE(access.ui().lL->text(), QString("0.00"));
        QCOMPARE(access.ui().aL->text(), QString("0.00"));
        QCOMPARE(access.ui().bL->text(), QString("0.00"));
    }

    // Blue of a very wide RGB space lies far outside the sRGB monitor:
    // the swatch shows the nearest colour instead of Qt's black for bad rgb().
    void swatchOfOutOfGamutAverage()
    {
        CVCImageWindow window;
        window.show();
        WindowTestAccess access(window);
        access.holdImage(solidImage(2, 2, QColor(0, 0, 255)), 3, makeWideRgbProfile("wide"));
        access.buildDisplayImage();
        QVERIFY(access.setupLabTransform());
        const QString style = access.ui().colorL->styleSheet();
        const QRegularExpression rgb(R"(^QLabel \{ background-color : rgb\((-?\d+), (-?\d+), (-?\d+)\);\}$)");
        const QRegularExpressionMatch match = rgb.match(style);
        QVERIFY2(match.hasMatch(), qPrintable(style));
        for (int i = 1; i <= 3; ++i) {
            const int level = match.captured(i).toInt();
            QVERIFY2(level >= 0 && level <= 255, qPrintable(style));
        }
        QVERIFY(match.captured(3).toInt() > 200);
        const QImage painted = access.ui().colorL->grab().toImage();
        QVERIFY(qBlue(painted.pixel(painted.width() / 2, painted.height() / 2)) > 200);
    }

    void failedMeasurementLeavesPanel()
    {
        CVCImageWindow window;
        WindowTestAccess access(window);
        access.holdImage(solidImage(2, 2, QColor(40, 50, 60)), 3, cmsCreate_sRGBProfile());
        access.buildDisplayImage();
        QVERIFY(access.setupLabTransform());
        const QString lightness = access.ui().lL->text();
        // Measured through a hand-loaded profile, of which there is none.
        access.ui().embeddedCB->click();
        QVERIFY(!access.setupLabTransform());
        QCOMPARE(access.ui().lL->text(), lightness);
    }
};

QTEST_MAIN(TestResults)
#include "test_results.moc"
