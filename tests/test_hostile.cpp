// Hostile and broken files through the real loader: a clean warning or a
// clean refusal, memory within the budget, and a window that goes on working.
#include "hostilefiles.h"
#include "imagefiles.h"
#include "lcmshandles.h"
#include "modaldialogs.h"
#include "processmemory.h"
#include "profiles.h"
#include "testenvironment.h"
#include "tifffiles.h"
#include "windowtestaccess.h"

#include <QtTest>
#include <QtWidgets>

namespace {

#if defined(__SANITIZE_ADDRESS__)
// The address sanitizer keeps freed memory for a while and reserves a vast
// address space: neither the peaks nor an address-space limit say anything there.
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif

constexpr qint64 budgetMb = 1024;

QStringList load(CVCImageWindow &window, const QString &path)
{
    return clickThroughDialog(WindowTestAccess(window).ui().loadImagePB, path);
}

QStringList shownValues(WindowTestAccess &access)
{
    return {access.ui().imageL->text(), access.ui().lL->text(), access.ui().aL->text(), access.ui().bL->text()};
}

// An RGB profile padded with a private tag to the given size.
QByteArray paddedRgbProfile(int size)
{
    ProfileHandle profile(makeWideRgbProfile("Padded"));
    const QByteArray pad(size, 'p');
    cmsWriteRawTag(profile.get(), cmsTagSignature(0x70616420), pad.constData(), cmsUInt32Number(pad.size()));
    return profileBytes(profile.get());
}

QByteArray describedTiff(const QString &dir, const QByteArray &description)
{
    TiffPage page;
    page.photometric = PHOTOMETRIC_RGB;
    page.colourSamples = 3;
    page.description = QString::fromLatin1(description);
    page.sample = [](int x, int y, int s) { return (x * 40 + y * 20 + s * 70) % 256; };
    writeTiff(dir + "/described.tif", {page});
    QFile file(dir + "/described.tif");
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

class TestHostile : public QObject
{
    Q_OBJECT

    QString dir;
    QString good;

private slots:
    void initTestCase()
    {
        qputenv("LUMIVANT_MEMORY_LIMIT_MB", QByteArray::number(budgetMb));
        setUpTestEnvironment();
        dir = testDirectory() + "/hostile";
        QDir().mkpath(dir);
        good = writeJpeg(dir, "good.jpg", solidImage(12, 8, QColor(40, 120, 200)));
    }

    void hostileFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<bool>("stateKept");
        const QStringList readFail = {"imageReadFail"};
        const QStringList tooLarge = {"imageTooLarge"};
        // 2000 samples a pixel announce 2000 inks: refused from the header, before any strip is decoded.
        const QStringList manyInks = {"This image is not supported!"};
        QTest::newRow("2000 samples a pixel, one strip") << "samples.tif" << manySamplesTiff(false) << manyInks << false;
        QTest::newRow("2000 samples a pixel, one tile") << "tile.tif" << manySamplesTiff(true) << manyInks << false;
        QTest::newRow("2000 samples, within a larger budget") << "samples.tif" << manySamplesTiff(false) << manyInks
                                                              << false;
        QTest::newRow("strips sharing one stream") << "shared.tif" << sharedStripsTiff(2000, 16) << readFail << false;
        QTest::newRow("16383 squared, shared strips") << "bomb.tif" << sharedStripsTiff(16383, 256) << tooLarge << true;
        QTest::newRow("1200 directories sharing their tags")
            << "directories.tif" << sharedTagsTiff(1200, paddedRgbProfile(380 * 1024), 950 * 1024) << QStringList()
            << false;
        // Read in bands, a picture of any size fits; the missing data is what ends it.
        QTest::newRow("JPEG claiming 23000 squared") << "claims.jpg" << claimingJpeg(23000, 23000) << readFail << false;
        QTest::newRow("JPEG claiming 6000 squared") << "claims.jpg" << claimingJpeg(6000, 6000) << readFail << false;

        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        QImage noise(200, 150, QImage::Format_RGB32);
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x ^ y) % 256));
        QImageWriter(&buffer, "jpeg").write(noise);
        QTest::newRow("JPEG cut in half") << "cut.jpg" << jpeg.left(jpeg.size() / 2) << readFail << false;
        TiffPage page;
        page.width = page.height = 64;
        page.compression = COMPRESSION_ADOBE_DEFLATE;
        page.sample = [](int x, int y, int s) { return (x * y + s) % 256; };
        writeTiff(dir + "/whole.tif", {page});
        QFile whole(dir + "/whole.tif");
        whole.open(QIODevice::ReadOnly);
        const QByteArray tiff = whole.readAll();
        QTest::newRow("TIFF cut before its data ends") << "cut.tif" << tiff.left(tiff.size() / 3) << readFail << false;
        QByteArray scrambled = tiff;
        for (int i = 8; i < scrambled.size(); i += 5)
            scrambled[i] = char(scrambled[i] ^ 0x5A);
        QTest::newRow("TIFF scrambled") << "scrambled.tif" << scrambled << readFail << false;

        QTest::newRow("description of 100 kB") << "long.tif" << describedTiff(dir, QByteArray(100 * 1024, 'k'))
                                               << QStringList() << false;
        QTest::newRow("binary description") << "binary.tif"
                                            << describedTiff(dir, QByteArray("\x01\x02\xfe;NumberOfInks:\x7f:3;\x80"))
                                            << QStringList() << false;
        QTest::newRow("NumberOfInks:-1") << "negative.tif" << describedTiff(dir, "NumberOfInks:-1")
                                         << QStringList({"noProfile", "noTransform"}) << false;
        QTest::newRow("NumberOfInks beyond int") << "huge.tif" << describedTiff(dir, "NumberOfInks:99999999999")
                                                 << QStringList({"noProfile", "noTransform"}) << false;
        QTest::newRow("repeated keys") << "repeated.tif"
                                       << describedTiff(dir, QByteArray("NumberOfInks:3;").repeated(5000))
                                       << QStringList() << false;
    }

    void hostileFiles()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, warnings);
        QFETCH(bool, stateKept);
        const QString path = writeFile(dir + "/" + name, bytes);
        CVCImageWindow window;
        WindowTestAccess access(window);
        // Shown, the view fits itself again when the emptied window's panel changes.
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(load(window, good), QStringList());
        const QStringList before = shownValues(access);

        // The loader's own estimate would refuse this one; the reader must then find it out itself.
        const bool readerDecides = QByteArray(QTest::currentDataTag()).contains("larger budget");
        if (readerDecides)
            qputenv("LUMIVANT_MEMORY_LIMIT_MB", QByteArray::number(4 * budgetMb));
        const double baseline = processMemoryMiB("VmRSS");
        resetPeakMemory();
        QCOMPARE(load(window, path), warnings);
        qputenv("LUMIVANT_MEMORY_LIMIT_MB", QByteArray::number(budgetMb));
        if (!sanitized)
            QVERIFY2(processMemoryMiB("VmHWM") - baseline <= budgetMb,
                     qPrintable(QString("peak %1 MB above %2").arg(processMemoryMiB("VmHWM") - baseline).arg(baseline)));
        if (stateKept)
            QCOMPARE(shownValues(access), before);
        // A refused picture leaves no zoom behind in the status bar.
        QLabel *readout = window.findChild<QLabel *>("pointerL");
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QCOMPARE(readout->text().isEmpty(), access.ui().graphicsView->scene()->items().isEmpty());

        // The window goes on as before.
        QCOMPARE(load(window, good), QStringList());
        QCOMPARE(shownValues(access), before);
    }

    void handLoadedProfilesThatCannotWork_data()
    {
        QTest::addColumn<QByteArray>("profile");
        QTest::addColumn<QString>("reason");
        ProfileHandle wide(makeWideRgbProfile("Wide"));
        QTest::newRow("cut after its tag table")
            << cutAfterTagTable(profileBytes(wide.get()))
            << "Little CMS cannot convert through this profile: it is damaged or incomplete.";
        QTest::newRow("invalid signatures") << invalidSignatures(profileBytes(wide.get()))
                                            << "The profile's colour space is 0xffffffff; this image needs RGB.";
    }

    // The profile in force, and the values, stay.
    void handLoadedProfilesThatCannotWork()
    {
        QFETCH(QByteArray, profile);
        QFETCH(QString, reason);
        const QString working = saveProfile(makeWideRgbProfile("Working"), dir, "working.icc");
        const QString broken = writeFile(dir + "/broken.icc", profile);
        CVCImageWindow window;
        WindowTestAccess access(window);
        QCOMPARE(load(window, good), QStringList());
        access.ui().embeddedCB->click();
        QCOMPARE(clickThroughDialog(access.ui().loadImageICCPB, working), QStringList());
        const QStringList before = shownValues(access);
        QCOMPARE(clickThroughDialog(access.ui().loadImageICCPB, broken), QStringList({"The ICC Profile does not match!"}));
        QCOMPARE(recordedWarningReasons(), QStringList({reason}));
        QCOMPARE(access.ui().loadedImageL->text(), QString("Working"));
        QCOMPARE(shownValues(access), before);
    }

    // Under an address-space limit far below the picture's size, the rows are
    // read in bands and the picture is measured exactly, as without the limit.
    void addressSpaceLimit()
    {
        if (sanitized)
            QSKIP("the address sanitizer needs the address space it reserves");
        const QString big = writeJpeg(dir, "big.jpg", solidImage(5000, 5000, QColor(90, 90, 90)));
        QProcess measurer;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("LUMIVANT_MEMORY_LIMIT_MB");
        measurer.setProcessEnvironment(environment);
        measurer.start("/bin/sh", {"-c", "ulimit -v 450000; exec \"$0\" --format json \"$1\"",
                                   QCoreApplication::applicationDirPath() + "/lumivant-measure", big});
        QVERIFY(measurer.waitForFinished(60000));
        QCOMPARE(measurer.exitStatus(), QProcess::NormalExit);
        const QJsonObject line = QJsonDocument::fromJson(measurer.readAllStandardOutput()).object();
        QCOMPARE(measurer.exitCode(), 0);
        QCOMPARE(line["pixels"].toDouble(), 25e6);
        QProcess small;
        small.start(QCoreApplication::applicationDirPath() + "/lumivant-measure",
                    {"--format", "json", writeJpeg(dir, "small.jpg", solidImage(64, 64, QColor(90, 90, 90)))});
        QVERIFY(small.waitForFinished(60000));
        const QJsonObject smallLine = QJsonDocument::fromJson(small.readAllStandardOutput()).object();
        for (const char *key : {"L", "a", "b"})
            QCOMPARE(line[key].toDouble(), smallLine[key].toDouble());
    }
};

QTEST_MAIN(TestHostile)
#include "test_hostile.moc"
