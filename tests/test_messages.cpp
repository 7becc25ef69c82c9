// What the user reads: message keys as sentences, the reasons of refusals,
// and the status bar's notes on silent fallbacks.
#include "imagefiles.h"
#include "lcmshandles.h"
#include "modaldialogs.h"
#include "profiles.h"
#include "identity.h"
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


} // namespace

class TestMessages : public QObject
{
    Q_OBJECT

    QString dir;

private slots:
    void initTestCase()
    {
        setUpTestEnvironment();
        QVERIFY(installTranslations(*QCoreApplication::instance()));
        dir = testDirectory() + "/messages";
        QDir().mkpath(dir);
    }

    void keysReadAsSentences_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<QString>("reason");
        const QString unreadable = writeFile(dir + "/notes.jpg", "plain text, not a picture\n");
        const QString truncated = writeFile(dir + "/cut.jpg", QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11));
        QTest::newRow("not an image") << unreadable << QStringList({"The file could not be read as an image."})
                                      << "File: " + unreadable + "\nReason: Unsupported image format";
        QTest::newRow("cut short") << truncated << QStringList({"The image in the file could not be decoded."})
                                   << "File: " + truncated + "\nReason: the file ends before its picture does; it is cut off";
        // An RGB profile without its red tone curve opens, but converts nothing.
        ProfileHandle curveless(makeWideRgbProfile("Studio RGB"));
        cmsWriteTag(curveless.get(), cmsSigRedTRCTag, nullptr);
        QTest::newRow("no conversion")
            << writeJpeg(dir, "curveless.jpg", solidImage(4, 4, Qt::gray), "", profileBytes(curveless.get()))
            << QStringList({"The average colour cannot be measured: there is no conversion from the image's "
                            "profile to L*a*b*."})
            << "Little CMS cannot convert 3 channels through the profile \"Studio RGB\" to L*a*b*.";
        QTest::newRow("no default profile")
            << writeJpeg(dir, "zero.jpg", solidImage(4, 4, Qt::gray), "NumberOfInks:0")
            << QStringList({"The image has no profile of its own, and no default profile can be used for it.",
                            "The average colour cannot be measured: there is no conversion from the image's "
                            "profile to L*a*b*."})
            << "the file announces 0 inks (in its comment); there is no profile for that";
    }

    void keysReadAsSentences()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, warnings);
        QFETCH(QString, reason);
        CVCImageWindow window;
        QCOMPARE(loadImage(window, path), warnings);
        QCOMPARE(recordedWarningReasons().last(), reason);
    }

    // A count that no profile can have is what the reasons name, not a broken installation.
    void impossibleInkCountsAreNamed_data()
    {
        QTest::addColumn<QString>("comment");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("reason");
        QTest::newRow("below zero") << "NumberOfInks:-5" << "none (Default -5Color assigned)"
                                    << "the file announces -5 inks (in its comment); there is no profile for that";
        QTest::newRow("not a number") << "NumberOfInks:x" << "none (Default 0Color assigned)"
                                      << "the file announces x inks (in its comment); there is no profile for that";
    }

    void impossibleInkCountsAreNamed()
    {
        QFETCH(QString, comment);
        QFETCH(QString, label);
        QFETCH(QString, reason);
        CVCImageWindow window;
        WindowTestAccess access(window);
        QCOMPARE(loadImage(window, writeJpeg(dir, "impossible.jpg", solidImage(4, 4, Qt::red), comment)).size(), 2);
        QCOMPARE(recordedWarningReasons(), QStringList({reason, reason}));
        QCOMPARE(access.ui().embeddedL->text(), label);
    }

    void refusalsSayWhy_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        QTest::newRow("five inks") << writeJpeg(dir, "five.jpg", solidImage(4, 4, Qt::red), "NumberOfInks:5")
                                   << "The file announces 5 inks; at most four inks can be measured.";
        QTest::newRow("CIELab") << writeJpeg(dir, "lab.jpg", solidImage(4, 4, Qt::red), "Photometric:8")
                                << "It is a CIELab image; grey, two-colour, RGB and four-ink images can be measured.";
        QTest::newRow("no ink images")
            << writeJpeg(dir, "inks.jpg", solidImage(4, 4, Qt::red), "NumberOfInks:4")
            << "The ink images of this four-ink file are missing or smaller than the picture.";
    }

    void refusalsSayWhy()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        CVCImageWindow window;
        QCOMPARE(loadImage(window, path), QStringList({"This image is not supported!"}));
        QCOMPARE(recordedWarningReasons(), QStringList({reason}));
    }

    void profileMismatchNamesBothSpaces_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("profilePath");
        QTest::addColumn<QString>("reason");
        QTest::newRow("CMYK for an RGB image")
            << "" << saveProfile(openDefaultCmyk(), dir, "press.icc")
            << "The profile's colour space is CMYK; this image needs RGB.";
        QTest::newRow("RGB for a grey image")
            << "Photometric:1" << saveProfile(makeWideRgbProfile("Wide"), dir, "wide.icc")
            << "The profile's colour space is RGB; this image needs Gray.";
        QTest::newRow("RGB for a CIELab reading")
            << "Photometric:6" << saveProfile(makeWideRgbProfile("Wide"), dir, "wide.icc")
            << "The profile's colour space is RGB; this image needs L*a*b*.";
        cmsHPROFILE rgbConnection = makeWideRgbProfile("Connected through RGB");
        cmsSetPCS(rgbConnection, cmsSigRgbData);
        QTest::newRow("RGB connection") << "" << saveProfile(rgbConnection, dir, "linked.icc")
                                        << "The profile connects through RGB; only XYZ and L*a*b* connections can be used.";
    }

    void profileMismatchNamesBothSpaces()
    {
        QFETCH(QString, description);
        QFETCH(QString, profilePath);
        QFETCH(QString, reason);
        CVCImageWindow window;
        WindowTestAccess access(window);
        QCOMPARE(loadImage(window, writeJpeg(dir, "image.jpg", solidImage(4, 4, Qt::red), description)), QStringList());
        access.ui().embeddedCB->click();
        QCOMPARE(clickThroughDialog(access.ui().loadImageICCPB, profilePath),
                 QStringList({"The ICC Profile does not match!"}));
        QCOMPARE(recordedWarningReasons(), QStringList({reason}));
    }

    // Fallbacks come first, then what the load measured.
    void silentFallbacksShowInStatusBar()
    {
        CVCImageWindow window;
        WindowTestAccess access(window);
        QStatusBar *statusBar = access.ui().mainStatusBar;
        const auto shows = [statusBar](const QString &pattern) {
            const QRegularExpression expected(QRegularExpression::anchoredPattern(pattern));
            return expected.match(statusBar->currentMessage()).hasMatch();
        };

        QCOMPARE(loadImage(window, writeJpeg(dir, "damaged.jpg", solidImage(4, 4, Qt::red), QString(),
                                             QByteArray(600, 'x'))),
                 QStringList());
        QCOMPARE(access.ui().embeddedL->text(), QString("none (sRGB assigned)"));
        QVERIFY2(shows(R"(The profile embedded in the file is damaged; the default profile is used instead\.  )"
                       R"(damaged\.jpg — 4 × 4 px, 16 pixels measured in \d+\.\d\d s)"),
                 qPrintable(statusBar->currentMessage()));

        const QString unreadable = writeFile(dir + "/broken.icc", "not a profile");
        access.ui().embeddedCB->click();
        QTest::ignoreMessage(QtDebugMsg, "No SRC profile!");
        QCOMPARE(clickThroughDialog(access.ui().loadImageICCPB, unreadable), QStringList());
        QCOMPARE(statusBar->currentMessage(),
                 "The profile " + unreadable + " could not be read; the profile in force is kept.");

        QCOMPARE(loadImage(window, writeTiffGreenKey()), QStringList());
        QVERIFY2(shows(R"(No pixel counted: every pixel is masked  green\.tif — 4 × 3 px, 0 pixels measured in )"
                       R"(\d+\.\d\d s)"),
                 qPrintable(statusBar->currentMessage()));

        QCOMPARE(loadImage(window, writeJpeg(dir, "plain.jpg", solidImage(1200, 1000, Qt::red))), QStringList());
        QVERIFY2(shows(R"(plain\.jpg — 1200 × 1000 px, 1 200 000 pixels measured in \d+\.\d\d s)"),
                 qPrintable(statusBar->currentMessage()));
    }

private:
    // The green key survives only a lossless file.
    QString writeTiffGreenKey()
    {
        TiffPage green;
        green.photometric = PHOTOMETRIC_RGB;
        green.colourSamples = 3;
        green.sample = [](int, int, int s) { return s == 1 ? 255 : 0; };
        const QString path = dir + "/green.tif";
        writeTiff(path, {green});
        return path;
    }
};

QTEST_MAIN(TestMessages)
#include "test_messages.moc"
