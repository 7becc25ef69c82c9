// Opening images through the Load Image button: attributes, profiles, refusals, failures.
#include "imagefiles.h"
#include "jpegfiles.h"
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

QStringList loadImage(CVCImageWindow &window, const QString &path, FileDialogSeen *seen = nullptr)
{
    return clickThroughDialog(WindowTestAccess(window).ui().loadImagePB, path, seen);
}

QString description(cmsHPROFILE profile)
{
    char text[256] = {};
    cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", text, sizeof text);
    return QString::fromLatin1(text);
}

QByteArray cmykProfileBytes()
{
    ProfileHandle cmyk(openDefaultCmyk());
    return profileBytes(cmyk.get());
}

} // namespace

class TestLoading : public QObject
{
    Q_OBJECT

    QString dir;

private slots:
    void initTestCase()
    {
        setUpTestEnvironment();
        dir = testDirectory() + "/images";
        QDir().mkpath(dir);
    }

    void init() { QSettings().clear(); }

    void plainJpegGetsSrgb_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::newRow("RGB") << solidImage(8, 6, QColor(180, 90, 30));
        QTest::newRow("grey") << solidImage(8, 6, QColor(120, 120, 120), QImage::Format_Grayscale8);
    }

    void plainJpegGetsSrgb()
    {
        QFETCH(QImage, image);
        const QString path = writeJpeg(dir, "plain.jpg", image);
        CVCImageWindow window;
        WindowTestAccess access(window);
        QCOMPARE(loadImage(window, path), QStringList());
        QCOMPARE(access.attributes().value("NumberOfInks"), 3);
        QVERIFY(!access.attributes().contains("Photometric"));
        QCOMPARE(access.ui().embeddedL->text(), QString("none (sRGB assigned)"));
        QCOMPARE(access.ui().loadedImageL->text(), QString("none (sRGB assigned)"));
        QVERIFY(description(access.sourceProfile()).contains("sRGB"));
        QCOMPARE(access.ui().imageL->text(), QString("plain.jpg"));
        QVERIFY(!access.ui().embeddedCB->isHidden() && access.ui().embeddedCB->isChecked());
        QVERIFY(!access.ui().embeddedF->isHidden());
        QVERIFY(access.ui().destinationF->isHidden());
        QVERIFY(!access.ui().labF->isHidden());
        QVERIFY(!access.ui().separationCB->isChecked());
        QCOMPARE(access.pixelCount(), 48);
    }

    void embeddedProfileNamesItself_data()
    {
        QTest::addColumn<QString>("profileText");
        QTest::addColumn<QString>("shown");
        QTest::newRow("described") << "Studio Wide RGB" << "Studio Wide RGB";
        QTest::newRow("no description") << "" << "embedded";
    }

    void embeddedProfileNamesItself()
    {
        QFETCH(QString, profileText);
        QFETCH(QString, shown);
        ProfileHandle wide(makeWideRgbProfile(profileText.toLatin1().constData()));
        const QString path = writeJpeg(dir, "wide.jpg", solidImage(4, 4, QColor(200, 10, 10)), QString(),
                                       profileBytes(wide.get()));
        CVCImageWindow window;
        WindowTestAccess access(window);
        QCOMPARE(loadImage(window, path), QStringList());
        QCOMPARE(access.ui().embeddedL->text(), shown);
        QCOMPARE(access.ui().loadedImageL->text(), shown);
        QCOMPARE(cmsGetColorSpace(access.sourceProfile()), cmsSigRgbData);
    }

    void attributeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("greyProfile");
        QTest::addColumn<int>("inks");
        QTest::addColumn<QString>("profileLabel");
        QTest::addColumn<QStringList>("warnings");
        const QStringList none;
        QTest::newRow("two inks") << "NumberOfInks:2" << false << 2 << "none (Default 2Color assigned)" << none;
        QTest::newRow("not a number") << "NumberOfInks:x" << false << 0 << "none (Default 0Color assigned)"
                                      << QStringList({"noProfile", "noTransform"});
        QTest::newRow("one and three pieces ignored")
            << "NumberOfInks;NumberOfInks:1:2;Photometric::;NumberOfInks:3" << false << 3 << "none (sRGB assigned)" << none;
        QTest::newRow("later part wins") << "NumberOfInks:1;NumberOfInks:3" << false << 3 << "none (sRGB assigned)" << none;
        QTest::newRow("text wins over profile") << "NumberOfInks:3" << true << 3 << "none (sRGB assigned)" << none;
        // Qt writes a grey profile into a colour frame, which it cannot describe.
        QTest::newRow("grey profile over a colour frame") << "" << true << 3 << "none (sRGB assigned)" << none;
        QTest::newRow("five inks") << "NumberOfInks:5" << false << 5 << "no profile"
                                   << QStringList({"This image is not supported!"});
        QTest::newRow("Lab") << "Photometric:8;NumberOfInks:3" << false << 3 << "no profile"
                             << QStringList({"This image is not supported!"});
    }

    void attributeText()
    {
        QFETCH(QString, text);
        QFETCH(bool, greyProfile);
        QFETCH(int, inks);
        QFETCH(QString, profileLabel);
        QFETCH(QStringList, warnings);
        ProfileHandle grey(makeGrayProfile("grey profile"));
        // Qt writes embedded profiles into colour JPEGs only.
        const QImage image = solidImage(6, 4, QColor(100, 100, 100));
        const QString path = writeJpeg(dir, "attributes.jpg", image, text, greyProfile ? profileBytes(grey.get()) : QByteArray());

        CVCImageWindow window;
        WindowTestAccess access(window);
        QCOMPARE(loadImage(window, writeJpeg(dir, "before.jpg", solidImage(4, 4, Qt::red))), QStringList());
        QCOMPARE(loadImage(window, path), warnings);
        QCOMPARE(access.attributes().value("NumberOfInks"), inks);
        QCOMPARE(access.ui().embeddedL->text(), profileLabel);
        const bool refused = warnings.contains("This image is not supported!");
        QCOMPARE(access.ui().graphicsView->scene()->items().isEmpty(), refused);
        QCOMPARE(access.ui().imageL->text(), warnings.isEmpty() ? QString("attributes.jpg") : QString("none"));
    }

    void twoColourDefaultIsOpened()
    {
        const QString path = writeJpeg(dir, "duotone.jpg", solidImage(4, 4, QColor(60, 60, 60)), "NumberOfInks:2");
        CVCImageWindow window;
        WindowTestAccess access(window);
        QCOMPARE(loadImage(window, path), QStringList());
        QVERIFY(access.sourceProfile());
        QCOMPARE(cmsGetColorSpace(access.sourceProfile()), cmsSigMCH2Data);
    }

    // More of both inks must give a darker average, level by level.
    void twoColourLevelsDarkenSteadily()
    {
        CVCImageWindow window;
        WindowTestAccess access(window);
        double previous = 101.0;
        for (int level : {0, 1, 50, 128, 255}) {
            const QString path =
                writeJpeg(dir, "duotone.jpg", solidImage(4, 4, QColor(level, level, level)), "NumberOfInks:2");
            QCOMPARE(loadImage(window, path), QStringList());
            const double lightness = access.ui().lL->text().toDouble();
            QVERIFY2(lightness < previous, qPrintable(QString("level %1 gives L* %2").arg(level).arg(lightness)));
            previous = lightness;
        }
    }

    // A colour-map TIFF is the RGB picture its map stands for, measured as such.
    void paletteTiffMeasuresAsRgb()
    {
        const QVector<QRgb> colours = {qRgb(200, 40, 30), qRgb(20, 160, 90), qRgb(250, 230, 20), qRgb(60, 60, 200)};
        TiffPage palette;
        palette.photometric = PHOTOMETRIC_PALETTE;
        palette.colourSamples = 1;
        palette.colourMap = colours;
        palette.sample = [](int x, int, int) { return x; };
        TiffPage rgb;
        rgb.photometric = PHOTOMETRIC_RGB;
        rgb.colourSamples = 3;
        rgb.sample = [colours](int x, int, int s) {
            const QRgb c = colours[x];
            return s == 0 ? qRed(c) : s == 1 ? qGreen(c) : qBlue(c);
        };
        const QString palettePath = dir + "/palette.tif";
        const QString rgbPath = dir + "/rgb.tif";
        QVERIFY(writeTiff(palettePath, {palette}) && writeTiff(rgbPath, {rgb}));

        CVCImageWindow window;
        WindowTestAccess access(window);
        QCOMPARE(loadImage(window, rgbPath), QStringList());
        const QStringList expected = {access.ui().lL->text(), access.ui().aL->text(), access.ui().bL->text()};
        QCOMPARE(loadImage(window, palettePath), QStringList());
        QCOMPARE(access.attributes().value("NumberOfInks"), 3);
        QCOMPARE(access.ui().embeddedL->text(), QString("none (sRGB assigned)"));
        QCOMPARE(QStringList({access.ui().lL->text(), access.ui().aL->text(), access.ui().bL->text()}), expected);
        QVERIFY(expected[2].toDouble() > 10.0);
    }

    // A four-ink JPEG carries its inks in its frame; an RGB frame with a CMYK
    // profile has no ink images and stays refused.
    void cmykProfileInJpeg_data()
    {
        QTest::addColumn<bool>("fourInkFrame");
        QTest::newRow("four-ink frame") << true;
        QTest::newRow("RGB frame") << false;
    }

    void cmykProfileInJpeg()
    {
        QFETCH(bool, fourInkFrame);
        CmykJpegFile cmyk;
        cmyk.icc = cmykProfileBytes();
        const QString path = fourInkFrame ? writeCmykJpeg(dir + "/cmyk.jpg", cmyk)
                                          : writeJpeg(dir, "cmyk.jpg", solidImage(4, 4, Qt::blue), QString(), cmyk.icc);
        CVCImageWindow window;
        WindowTestAccess access(window);
        QCOMPARE(loadImage(window, writeJpeg(dir, "shown.jpg", solidImage(4, 4, Qt::red))), QStringList());
        QCOMPARE(loadImage(window, path),
                 fourInkFrame ? QStringList() : QStringList({"This image is not supported!"}));
        QCOMPARE(access.ui().graphicsView->scene()->items().isEmpty(), !fourInkFrame);
        QCOMPARE(access.ui().labF->isHidden(), !fourInkFrame);
        QCOMPARE(access.ui().imageL->text(), fourInkFrame ? QString("cmyk.jpg") : QString("none"));
    }

    void cancelledDialogLeavesEverything()
    {
        CVCImageWindow window;
        WindowTestAccess access(window);
        QCOMPARE(loadImage(window, writeJpeg(dir, "kept.jpg", solidImage(4, 4, Qt::red))), QStringList());
        access.ui().renderingCB->setCurrentIndex(2);
        const QString lightness = access.ui().lL->text();
        QCOMPARE(loadImage(window, QString()), QStringList());
        QCOMPARE(access.ui().imageL->text(), QString("kept.jpg"));
        QCOMPARE(access.ui().lL->text(), lightness);
        QCOMPARE(access.ui().renderingCB->currentIndex(), 2);
        QVERIFY(!access.ui().labF->isHidden());
    }

    void unreadableFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("warning");
        QTest::newRow("not an image") << QByteArray("plain text, not a picture\n") << "noImage";
        QTest::newRow("empty") << QByteArray() << "noImage";
        QTest::newRow("truncated") << QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11) << "imageReadFail";
    }

    void unreadableFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, warning);
        const QString failDir = dir + "/failing";
        QDir().mkpath(failDir);
        QFile file(failDir + "/broken.jpg");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();

        CVCImageWindow window;
        WindowTestAccess access(window);
        QCOMPARE(loadImage(window, writeJpeg(dir, "shown.jpg", solidImage(4, 4, Qt::red))), QStringList());
        access.ui().renderingCB->setCurrentIndex(3);
        QCOMPARE(loadImage(window, file.fileName()), QStringList({warning}));
        QCOMPARE(access.lastImageDir(), failDir);
        QCOMPARE(access.ui().renderingCB->currentIndex(), 1);
        QCOMPARE(access.ui().imageL->text(), QString("none"));
        QVERIFY(access.ui().labF->isHidden());
        // The old picture is no longer measured, so it leaves the view.
        QVERIFY(access.ui().graphicsView->scene()->items().isEmpty());
    }

    void dialogStartsInRememberedDirectory()
    {
        FileDialogSeen seen;
        {
            CVCImageWindow window;
            loadImage(window, QString(), &seen);
            QCOMPARE(seen.directory, QDir(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)).absolutePath());
            QCOMPARE(seen.caption, QString("Open"));
            QCOMPARE(seen.filters, QStringList({"image file (*.jpg *.jpeg *.tif *.tiff)"}));
            loadImage(window, writeJpeg(dir, "remembered.jpg", solidImage(2, 2, Qt::red)));
        }
        CVCImageWindow next;
        loadImage(next, QString(), &seen);
        QCOMPARE(seen.directory, dir);
    }

    // Loading one image after another keeps nothing of the previous one.
    void repeatedLoadsMeasureEachImage()
    {
        const QString red = writeJpeg(dir, "red.jpg", solidImage(16, 16, QColor(250, 0, 0)));
        const QString blue = writeJpeg(dir, "blue.jpg", solidImage(8, 4, QColor(0, 0, 250)));
        CVCImageWindow window;
        WindowTestAccess access(window);
        QStringList first, second;
        for (int round = 0; round < 3; ++round) {
            loadImage(window, red);
            first = QStringList({access.ui().lL->text(), access.ui().aL->text(), access.ui().bL->text()});
            QCOMPARE(access.pixelCount(), 256);
            loadImage(window, blue);
            second = QStringList({access.ui().lL->text(), access.ui().aL->text(), access.ui().bL->text()});
            QCOMPARE(access.pixelCount(), 32);
            QCOMPARE(access.ui().imageL->text(), QString("blue.jpg"));
        }
        QVERIFY(first != second);
        QVERIFY(second[2].toDouble() < -50.0);
    }
};

QTEST_MAIN(TestLoading)
#include "test_loading.moc"
