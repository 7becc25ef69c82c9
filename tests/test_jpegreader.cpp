// The program's JPEG reader: four-ink JPEGs as separations, every other JPEG
// exactly as Qt's own reader gives it, bad files refused safely.
#include "imagefiles.h"
#include "imageloader.h"
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

// Reads image number of bytes through the program's readers.
QImage readImage(const QByteArray &bytes, int number, QString *text = nullptr, int *count = nullptr)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (count)
        *count = reader.imageCount();
    if (text)
        *text = reader.text("Description");
    reader.jumpToImage(number);
    return reader.read();
}

// Qt's own JPEG plugin, straight from Qt's plugin directory.
QImageIOPlugin *stockPlugin()
{
    static QPluginLoader loader(QLibraryInfo::location(QLibraryInfo::PluginsPath) + "/imageformats/libqjpeg.so");
    return qobject_cast<QImageIOPlugin *>(loader.instance());
}

QImage readWithStock(const QByteArray &bytes, QString *text)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    std::unique_ptr<QImageIOHandler> handler(stockPlugin()->create(&buffer, "jpeg"));
    const QString description = handler->option(QImageIOHandler::Description).toString();
    QImage image;
    handler->read(&image);
    *text = image.text("Description");
    Q_UNUSED(description);
    return image;
}

QByteArray defaultCmykBytes()
{
    ProfileHandle cmyk(openDefaultCmyk());
    return profileBytes(cmyk.get());
}

// C 20 %, M 60 %, Y 40 %, K about 10 %.
int solidInk(int, int, int c)
{
    const int inks[4] = {51, 153, 102, 26};
    return inks[c];
}

QStringList inkTexts(WindowTestAccess &access)
{
    Ui::ImageWindow &ui = access.ui();
    return {ui.cL->text(), ui.mL->text(), ui.yL->text(), ui.kL->text(), ui.tL->text()};
}

QStringList labTexts(WindowTestAccess &access)
{
    return {access.ui().lL->text(), access.ui().aL->text(), access.ui().bL->text()};
}

// Loads bytes through the program's loader, as the window and lumivant-measure do.
LoadOutcome loadBytes(const QString &path, const QByteArray &bytes)
{
    return loadImageFile(writeFile(path, bytes), getResourceDir());
}

// Solid red in four inks: M and Y at full.
int redInks(int, int, int c)
{
    return c == 1 || c == 2 ? 255 : 0;
}

const QString cutOff = "the file ends before its picture does; it is cut off";

} // namespace

Q_DECLARE_METATYPE(CmykJpegFile)
Q_DECLARE_METATYPE(ColourJpegFile)

class TestJpegReader : public QObject
{
    Q_OBJECT

    QString dir;

private slots:
    void initTestCase()
    {
        setUpTestEnvironment();
        QVERIFY(stockPlugin());
        dir = testDirectory() + "/jpeg";
        QDir().mkpath(dir);
    }

    void otherJpegsAsQtReadsThem_data()
    {
        QTest::addColumn<QImage>("picture");
        QImage gradient(37, 23, QImage::Format_RGB32);
        for (int y = 0; y < gradient.height(); ++y)
            for (int x = 0; x < gradient.width(); ++x)
                gradient.setPixel(x, y, qRgb(x * 7, y * 11, (x * y) % 256));
        QTest::newRow("RGB") << gradient;
        QTest::newRow("grey") << gradient.convertToFormat(QImage::Format_Grayscale8);
    }

    // Grey and RGB JPEGs read as Qt's own reader reads them: same pixels, text and colour space.
    void otherJpegsAsQtReadsThem()
    {
        QFETCH(QImage, picture);
        ProfileHandle wide(makeWideRgbProfile("Wide"));
        picture.setColorSpace(QColorSpace::fromIccProfile(profileBytes(wide.get())));
        QByteArray bytes;
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        QImageWriter writer(&out, "jpeg");
        writer.setText("Description", "NumberOfInks:3;Job:12");
        QVERIFY(writer.write(picture));

        QString ours, theirs;
        int count = 0;
        const QImage read = readImage(bytes, 0, &ours, &count);
        const QImage stock = readWithStock(bytes, &theirs);
        QCOMPARE(read, stock);
        QCOMPARE(ours, theirs);
        QCOMPARE(ours, QString("NumberOfInks:3;Job:12"));
        QCOMPARE(read.colorSpace().iccProfile(), stock.colorSpace().iccProfile());
        QCOMPARE(count, 1);
    }

    void picturesAsQtReadsThem_data()
    {
        QTest::addColumn<ColourJpegFile>("file");
        ColourJpegFile file;
        file.hSampling = file.vSampling = 1;
        QTest::newRow("4:4:4") << file;
        file.hSampling = 2;
        QTest::newRow("4:2:2") << file;
        file.vSampling = 2;
        QTest::newRow("4:2:0") << file;
        ColourJpegFile grey;
        grey.components = 1;
        grey.hSampling = grey.vSampling = 1;
        QTest::newRow("grey") << grey;
        ColourJpegFile progressive = file;
        progressive.progressive = true;
        QTest::newRow("progressive 4:2:0") << progressive;
        grey.progressive = true;
        QTest::newRow("progressive grey") << grey;
        ColourJpegFile restarts = file;
        restarts.restartRows = 1;
        restarts.height = 70;
        QTest::newRow("restart markers") << restarts;
        ColourJpegFile arithmetic = file;
        arithmetic.arithmetic = true;
        QTest::newRow("arithmetic") << arithmetic;
        arithmetic.progressive = true;
        QTest::newRow("arithmetic progressive") << arithmetic;
        ColourJpegFile large = file;
        large.width = 517;
        large.height = 301;
        large.quality = 95;
        QTest::newRow("many bands, odd size") << large;
        ColourJpegFile turned = file;
        turned.exifOrientation = 6;
        QTest::newRow("Exif orientation, not applied by default") << turned;
    }

    // Pixel for pixel, format and resolution: what Qt's own reader gives.
    void picturesAsQtReadsThem()
    {
        QFETCH(ColourJpegFile, file);
        const QByteArray bytes = colourJpegBytes(file);
        QString ours, theirs;
        const QImage read = readImage(bytes, 0, &ours);
        const QImage stock = readWithStock(bytes, &theirs);
        QVERIFY(!stock.isNull());
        QCOMPARE(read.format(), stock.format());
        QCOMPARE(read.size(), stock.size());
        for (int y = 0; y < read.height(); ++y)
            QVERIFY2(memcmp(read.constScanLine(y), stock.constScanLine(y), size_t(read.bytesPerLine())) == 0,
                     qPrintable(QString("row %1 differs").arg(y)));
        QCOMPARE(read.dotsPerMeterX(), stock.dotsPerMeterX());
        QCOMPARE(read.dotsPerMeterY(), stock.dotsPerMeterY());
    }

    void refusedWithTheReason_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        ColourJpegFile rgb;
        rgb.width = rgb.height = 64;
        const QByteArray whole = colourJpegBytes(rgb);
        QTest::newRow("RGB cut in half") << whole.left(whole.size() / 2) << cutOff;
        QTest::newRow("RGB without its end marker") << whole.left(whole.size() - 2) << cutOff;
        QTest::newRow("cut in the header") << whole.left(40) << cutOff;
        ColourJpegFile progressive = rgb;
        progressive.progressive = true;
        const QByteArray scans = colourJpegBytes(progressive);
        QTest::newRow("progressive, cut before its last scan") << scans.left(scans.lastIndexOf("\xFF\xDA")) << cutOff;
        CmykJpegFile cmyk;
        cmyk.width = cmyk.height = 64;
        cmyk.ink = [](int x, int y, int c) { return (x * 3 + y * 5 + c * 40) % 256; };
        QByteArray corrupt = cmykJpegBytes(cmyk);
        for (int i = corrupt.size() / 2; i < corrupt.size() - 2; i += 7)
            corrupt[i] = char(0xFF);
        QTest::newRow("four inks, corrupt data") << corrupt << "Corrupt JPEG data: premature end of data segment";
        ColourJpegFile two;
        two.components = 2;
        QTest::newRow("two components")
            << colourJpegBytes(two) << "the frame has 2 components; grey, RGB and four-ink JPEGs can be read";
        CmykJpegFile manyScans;
        manyScans.ink = redInks;
        manyScans.repeatedRefinements = 2000;
        QTest::newRow("four inks, 2000 refinement scans") << cmykJpegBytes(manyScans) << "it has more than 500 scans";
        ColourJpegFile rgbScans;
        rgbScans.repeatedRefinements = 2000;
        QTest::newRow("RGB, 2000 refinement scans") << colourJpegBytes(rgbScans) << "it has more than 500 scans";
        // Coded data that ends before its bytes do is damaged, though every pixel came out.
        QByteArray leftOver = colourJpegBytes(ColourJpegFile());
        leftOver.insert(leftOver.size() - 2, QByteArray(40, '\x55'));
        QTest::newRow("RGB, coded bytes left before the end marker")
            << leftOver << "Corrupt JPEG data: 38 extraneous bytes before marker 0xd9";
    }

    // Through the loader: the picture is refused with the reader's reason.
    void refusedWithTheReason()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const LoadOutcome outcome = loadBytes(dir + "/refused.jpg", bytes);
        QCOMPARE(outcome.failure.kind, FailureKind::Undecodable);
        QCOMPARE(outcome.failure.reason, reason);
        QVERIFY(outcome.image.picture.isNull());
    }

    // Zeros some writers leave after the last scan change no pixel, also
    // where they straddle two of the reader's 64 KB reads.
    void paddingBeforeEndMarkerIsRead_data()
    {
        QTest::addColumn<QByteArray>("padded");
        QByteArray small = colourJpegBytes(ColourJpegFile());
        small.insert(small.size() - 2, QByteArray(3, '\0'));
        QTest::newRow("3 zeros") << small;
        ColourJpegFile large;
        large.width = 300;
        large.height = 300;
        large.quality = 100;
        large.sample = [](int x, int y, int c) { return (x * x * 13 + y * y * 7 + c * x * y * 5) % 256; };
        QByteArray straddling = colourJpegBytes(large);
        const int zeros = 40;
        const int endMarker = straddling.size() - 2;
        const int readSize = 65536;
        QVERIFY(endMarker > readSize / 2);
        // A comment after the start marker moves the zeros to 20 bytes before a read's end.
        const int comment = (endMarker / readSize + 1) * readSize - zeros / 2 - endMarker - 4;
        QVERIFY(comment >= 0 && comment <= 65533);
        straddling = withSegmentAfterStart(straddling, '\xfe', QByteArray(comment, 'x'));
        straddling.insert(straddling.size() - 2, QByteArray(zeros, '\0'));
        QCOMPARE((straddling.size() - 2 - zeros / 2) % readSize, 0);
        QTest::newRow("40 zeros across two reads") << straddling;
    }

    void paddingBeforeEndMarkerIsRead()
    {
        QFETCH(QByteArray, padded);
        QString text;
        const QImage stock = readWithStock(padded, &text);
        const LoadOutcome outcome = loadBytes(dir + "/padded.jpg", padded);
        QVERIFY2(!outcome.failure, qPrintable(outcome.failure.reason));
        QCOMPARE(outcome.image.picture, stock);
    }

    // A flat picture of 6000 x 6000 codes into a few hundred bytes: a file
    // small for its size is no sign of damage.
    void largeFlatArithmeticJpegIsMeasured()
    {
        ColourJpegFile flat;
        flat.width = flat.height = 6000;
        flat.arithmetic = true;
        flat.sample = [](int, int, int c) { return c == 0 ? 200 : c == 1 ? 60 : 30; };
        const QByteArray large = colourJpegBytes(flat);
        QVERIFY2(large.size() < 1000, qPrintable(QString::number(large.size())));
        flat.width = flat.height = 16;
        const QString small = writeFile(dir + "/flat-small.jpg", colourJpegBytes(flat));

        CVCImageWindow window;
        WindowTestAccess access(window);
        QCOMPARE(clickThroughDialog(access.ui().loadImagePB, small), QStringList());
        const QStringList expected = labTexts(access);
        QCOMPARE(clickThroughDialog(access.ui().loadImagePB, writeFile(dir + "/flat-large.jpg", large)), QStringList());
        QCOMPARE(access.pixelCount(), 36000000);
        QCOMPARE(labTexts(access), expected);
    }

    // libjpeg skips a stray byte before the frame; the frame it reads decides
    // that the file holds four inks.
    void strayByteBeforeFrameKeepsTheInks()
    {
        CmykJpegFile red;
        red.ink = redInks;
        const QByteArray clean = cmykJpegBytes(red);
        CVCImageWindow window;
        WindowTestAccess access(window);
        QCOMPARE(clickThroughDialog(access.ui().loadImagePB, writeFile(dir + "/red.jpg", clean)), QStringList());
        const QStringList fourInks = labTexts(access);
        QCOMPARE(fourInks, QStringList({"53.60", "69.81", "45.20"}));
        const QString stray = writeFile(dir + "/stray.jpg", withStrayByteBeforeFrame(clean));
        QCOMPARE(clickThroughDialog(access.ui().loadImagePB, stray), QStringList());
        QCOMPARE(labTexts(access), fourInks);
        access.ui().separationCB->click();
        QCOMPARE(inkTexts(access), QStringList({"0%", "100%", "100%", "0%", "200%"}));
    }

    void frameWinsOverComment_data()
    {
        QTest::addColumn<QByteArray>("comment");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("notes");
        const QString frame = "NumberOfInks:4;Photometric:5";
        const QString note = "The file's comment gives %1, but its picture holds four inks; the picture's "
                             "NumberOfInks:4;Photometric:5 is used.";
        QTest::newRow("one ink") << QByteArray("NumberOfInks:1") << frame << QStringList({note.arg("NumberOfInks:1")});
        QTest::newRow("RGB, other keys kept")
            << QByteArray("Job:3;Photometric:2;NumberOfInks:3")
            << frame + ";Job:3"
            << QStringList({note.arg("Photometric:2"), note.arg("NumberOfInks:3")});
        QTest::newRow("agreeing") << QByteArray("NumberOfInks:4;Job:3") << frame + ";NumberOfInks:4;Job:3"
                                  << QStringList();
    }

    // Four inks in the frame are four inks, whatever a comment says; the
    // status bar tells of the contradiction.
    void frameWinsOverComment()
    {
        QFETCH(QByteArray, comment);
        QFETCH(QString, text);
        QFETCH(QStringList, notes);
        CmykJpegFile file;
        file.ink = redInks;
        file.comments = {comment};
        QString description;
        readImage(cmykJpegBytes(file), 0, &description);
        QCOMPARE(description, text);
        const LoadOutcome outcome = loadBytes(dir + "/commented.jpg", cmykJpegBytes(file));
        QVERIFY(!outcome.failure);
        QCOMPARE(outcome.image.numberOfInks(), 4);
        QCOMPARE(outcome.image.notes, notes);
    }

    void damagedProfileChunksAreTold_data()
    {
        QTest::addColumn<QVector<int>>("order");
        QTest::addColumn<QString>("problem");
        QTest::newRow("chunk 4 of 6 missing") << QVector<int>({1, 2, 3, 5, 6}) << "its chunk 4 of 6 is missing";
        QTest::newRow("chunk 3 of 6 twice") << QVector<int>({1, 2, 3, 3, 4, 5, 6}) << "its chunk 3 of 6 is there twice";
        QTest::newRow("chunk numbered 7 of 6") << QVector<int>({1, 2, 3, 4, 5, 7}) << "one of its chunks is numbered 7 of 6";
    }

    // A profile that lost a chunk is not used, and the status bar says so.
    void damagedProfileChunksAreTold()
    {
        QFETCH(QVector<int>, order);
        QFETCH(QString, problem);
        CmykJpegFile file;
        file.ink = redInks;
        file.icc = defaultCmykBytes();
        file.iccChunkSize = (file.icc.size() + 5) / 6;
        file.iccChunkOrder = order;
        const QString note = "The profile embedded in the file is damaged (" + problem +
                             "); the default profile is used instead.";
        const LoadOutcome outcome = loadBytes(dir + "/chunks.jpg", cmykJpegBytes(file));
        QVERIFY(!outcome.failure);
        QCOMPARE(outcome.image.notes, QStringList({note}));
        QCOMPARE(outcome.image.sourceProfileText, QString("none (Default CMYK assigned)"));
        CVCImageWindow window;
        WindowTestAccess access(window);
        QCOMPARE(clickThroughDialog(access.ui().loadImagePB, dir + "/chunks.jpg"), QStringList());
        const QString shown = access.ui().mainStatusBar->currentMessage();
        QVERIFY2(shown.startsWith(note + "  "), qPrintable(shown));
    }

    void fourInkImages_data()
    {
        QTest::addColumn<CmykJpegFile>("file");
        QTest::addColumn<int>("tolerance");
        CmykJpegFile plain;
        plain.ink = solidInk;
        QTest::newRow("Adobe CMYK") << plain << 0;
        CmykJpegFile ycck = plain;
        ycck.ycck = true;
        QTest::newRow("YCCK") << ycck << 2;
        CmykJpegFile progressive = plain;
        progressive.progressive = true;
        QTest::newRow("progressive") << progressive << 0;
        CmykJpegFile subsampled = plain;
        subsampled.subsampled = true;
        subsampled.width = 35;
        subsampled.height = 21;
        QTest::newRow("4:2:0, odd size") << subsampled << 0;
        CmykJpegFile restarts = plain;
        restarts.restartRows = 1;
        restarts.height = 40;
        QTest::newRow("restart markers") << restarts << 0;
    }

    void fourInkImages()
    {
        QFETCH(CmykJpegFile, file);
        QFETCH(int, tolerance);
        const QByteArray bytes = cmykJpegBytes(file);
        QString text;
        int count = 0;
        const QImage preview = readImage(bytes, 0, &text, &count);
        QCOMPARE(count, 3);
        QCOMPARE(text, QString("NumberOfInks:4;Photometric:5"));
        QCOMPARE(preview.size(), QSize(file.width, file.height));
        QVERIFY(preview.colorSpace().iccProfile().isEmpty());
        const QImage inks = readImage(bytes, 1);
        const QImage black = readImage(bytes, 2);
        for (int y = 0; y < file.height; y += 7)
            for (int x = 0; x < file.width; x += 5) {
                const QColor c = inks.pixelColor(x, y);
                const QColor k = black.pixelColor(x, y);
                const int got[5] = {c.red(), c.green(), c.blue(), k.red(), k.green()};
                const int expected[5] = {solidInk(x, y, 0), solidInk(x, y, 1), solidInk(x, y, 2), solidInk(x, y, 3), 255};
                for (int i = 0; i < 5; ++i)
                    QVERIFY2(qAbs(got[i] - expected[i]) <= tolerance,
                             qPrintable(QString("%1 at %2,%3: %4").arg(i).arg(x).arg(y).arg(got[i])));
            }
        QVERIFY(readImage(bytes, 3).isNull());
    }

    void embeddedProfileChunks_data()
    {
        QTest::addColumn<QVector<int>>("order");
        QTest::addColumn<bool>("kept");
        QTest::newRow("in order") << QVector<int>() << true;
        QTest::newRow("out of order") << QVector<int>({3, 1, 2}) << true;
        QTest::newRow("one missing") << QVector<int>({1, 3}) << false;
        QTest::newRow("one twice") << QVector<int>({1, 2, 2, 3}) << false;
    }

    // A profile larger than one marker comes in chunks; a missing or repeated
    // chunk leaves the picture without a profile, but still a picture.
    void embeddedProfileChunks()
    {
        QFETCH(QVector<int>, order);
        QFETCH(bool, kept);
        CmykJpegFile file;
        file.ink = solidInk;
        file.icc = defaultCmykBytes();
        QVERIFY(file.icc.size() > 2 * 65519);
        file.iccChunkOrder = order;
        const QImage preview = readImage(cmykJpegBytes(file), 0);
        QVERIFY(!preview.isNull());
        QCOMPARE(preview.colorSpace().iccProfile(), kept ? file.icc : QByteArray());
    }

    void commentsAsQtGivesThem_data()
    {
        QTest::addColumn<QList<QByteArray>>("comments");
        QTest::newRow("attributes") << QList<QByteArray>({"NumberOfInks:4;Job:7"});
        QTest::newRow("Qt's own form") << QList<QByteArray>({"Description: press proof"});
        QTest::newRow("other key") << QList<QByteArray>({"Title: cover"});
        QTest::newRow("words before a colon") << QList<QByteArray>({"plain words: here"});
        QTest::newRow("later one wins") << QList<QByteArray>({"a:b", "Description: second"});
        QTest::newRow("blanks") << QList<QByteArray>({"two  spaces\nand a line"});
    }

    // The comment follows the attributes exactly as Qt's reader gives it for an RGB JPEG.
    void commentsAsQtGivesThem()
    {
        QFETCH(QList<QByteArray>, comments);
        // An RGB JPEG's texts are those of Qt's own reader.
        const QByteArray rgb = rgbJpegWithComments(comments);
        QString qtText, stockText;
        const QImage ours = readImage(rgb, 0, &qtText);
        const QImage stock = readWithStock(rgb, &stockText);
        QCOMPARE(ours.textKeys(), stock.textKeys());
        for (const QString &key : stock.textKeys())
            QCOMPARE(ours.text(key), stock.text(key));
        CmykJpegFile file;
        file.comments = comments;
        QString text;
        readImage(cmykJpegBytes(file), 0, &text);
        QCOMPARE(text, qtText.isEmpty() ? QString("NumberOfInks:4;Photometric:5")
                                        : "NumberOfInks:4;Photometric:5;" + qtText);
    }

    void badFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        CmykJpegFile file;
        file.width = file.height = 64;
        file.ink = [](int x, int y, int c) { return (x * 3 + y * 5 + c * 40) % 256; };
        const QByteArray good = cmykJpegBytes(file);
        QTest::newRow("cut short") << good.left(good.size() / 2);
        QByteArray corrupt = good;
        for (int i = corrupt.size() / 2; i < corrupt.size() - 2; i += 7)
            corrupt[i] = char(0xFF);
        QTest::newRow("corrupt data") << corrupt;
        QByteArray huge = good;
        const int frame = huge.indexOf("\xFF\xC0");
        QVERIFY(frame > 0);
        // 60000 x 60000 pixels, in a file of a few kilobytes.
        huge[frame + 5] = huge[frame + 7] = char(0xEA);
        huge[frame + 6] = huge[frame + 8] = char(0x60);
        QTest::newRow("absurd size") << huge;
        QTest::newRow("no frame") << QByteArray("\xFF\xD8\xFF\xD9", 4);
    }

    void badFilesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        for (int number = 0; number < 3; ++number)
            QVERIFY(readImage(bytes, number).isNull());
    }

    // End to end: a four-ink JPEG measures as the same inks in a TIFF.
    void measuredLikeTheSameSeparationInTiff_data()
    {
        QTest::addColumn<bool>("embedded");
        QTest::newRow("default CMYK") << false;
        QTest::newRow("embedded profile") << true;
    }

    void measuredLikeTheSameSeparationInTiff()
    {
        QFETCH(bool, embedded);
        const QByteArray icc = embedded ? defaultCmykBytes() : QByteArray();
        TiffPage page;
        page.width = page.height = 16;
        page.icc = icc;
        page.sample = [](int x, int y, int s) { return x < 8 ? 255 : solidInk(x, y, s); };
        QVERIFY(writeTiff(dir + "/separation.tif", {page}));
        CmykJpegFile file;
        file.icc = icc;
        // The left half is all four inks at full: left out of the average.
        file.ink = [](int x, int y, int c) { return x < 8 ? 255 : solidInk(x, y, c); };
        const QString jpeg = writeCmykJpeg(dir + "/separation.jpg", file);

        CVCImageWindow window;
        WindowTestAccess access(window);
        QCOMPARE(clickThroughDialog(access.ui().loadImagePB, dir + "/separation.tif"), QStringList());
        const QStringList tiffValues = labTexts(access);
        QCOMPARE(clickThroughDialog(access.ui().loadImagePB, jpeg), QStringList());
        QCOMPARE(access.ui().imageL->text(), QString("separation.jpg"));
        QCOMPARE(access.ui().embeddedL->text(),
                 embedded ? QString("Artifex CMYK SWOP Profile") : QString("none (Default CMYK assigned)"));
        QCOMPARE(labTexts(access), tiffValues);
        QCOMPARE(access.pixelCount(), 128);
        QVERIFY(!access.ui().destinationF->isHidden());
        QVERIFY(access.ui().cmykF->isHidden());
        access.ui().separationCB->click();
        QVERIFY(!access.ui().cmykF->isHidden());
        QCOMPARE(inkTexts(access), QStringList({"20%", "60%", "40%", "10%", "130%"}));
    }

    // A comment that announces four inks does not make an RGB frame a separation.
    void rgbFrameAnnouncingFourInksIsRefused()
    {
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QImageWriter writer(dir + "/announced.jpg", "jpeg");
        writer.setText("Description", "NumberOfInks:4;Photometric:5");
        QVERIFY(writer.write(picture));
        CVCImageWindow window;
        QCOMPARE(clickThroughDialog(WindowTestAccess(window).ui().loadImagePB, dir + "/announced.jpg"),
                 QStringList({"This image is not supported!"}));
    }
};

QTEST_MAIN(TestJpegReader)
#include "test_jpegreader.moc"
