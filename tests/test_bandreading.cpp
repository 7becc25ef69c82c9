// A picture file read in bands counts exactly what the per-pixel reference
// counts on the picture Qt's image readers decode whole from the same file.
#include "bandpass.h"
#include "imagefiles.h"
#include "jpegfiles.h"
#include "orderedbands.h"
#include "parallel.h"
#include "picturefile.h"
#include "referencepass.h"
#include "sourcerows.h"
#include "testenvironment.h"
#include "tifffiles.h"
#include "workcontrol.h"

#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The images Qt's readers give for path, as the pass reads them for channels.
PixelSources readWhole(const QString &path, int channels)
{
    QImageReader reader(path);
    PixelSources sources{reader.read(), {}, {}, channels};
    if (channels == 4) {
        reader.jumpToImage(1);
        sources.inkPage1 = reader.read();
        reader.jumpToImage(2);
        sources.inkPage2 = reader.read();
    }
    return sources;
}

// Every pixel's 16-bit levels and coverage as the passes read them, row by row.
QVector<quint16> levelsOf(const PixelSources &sources)
{
    QVector<quint16> levels;
    SourceRows rows(sources);
    for (int y = 0; y < sources.picture.height(); ++y) {
        rows.read(y);
        for (int x = 0; x < sources.picture.width(); ++x) {
            quint16 channels[4], coverage;
            rows.levels(x, channels, &coverage);
            levels << channels[0] << channels[1] << channels[2] << channels[3] << coverage;
        }
    }
    return levels;
}

qint64 keptBytes(const PixelSources &kept)
{
    const bool shared = kept.inkPage1.constBits() == kept.picture.constBits();
    return kept.picture.sizeInBytes() + (shared ? 0 : kept.inkPage1.sizeInBytes()) + kept.inkPage2.sizeInBytes();
}

// A sample that varies in every row and column and hits both ends of its range.
int sampleAt(int x, int y, int s, int full)
{
    if ((x + y) % 23 == 0)
        return s == 1 ? full : 0;
    if ((x * 3 + y) % 31 == 0)
        return full;
    return (x * 37 + y * 11 + s * 101) % (full + 1);
}

} // namespace

class TestBandReading : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase() { setUpTestEnvironment(); }

    void tiffBandsCountAsTheWholePicture_data()
    {
        QTest::addColumn<int>("photometric");
        QTest::addColumn<int>("colours");
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("planar");
        QTest::addColumn<bool>("tiled");
        QTest::addColumn<int>("alpha");
        QTest::newRow("RGB 8-bit") << int(PHOTOMETRIC_RGB) << 3 << 8 << false << false << -1;
        QTest::newRow("RGB 16-bit, unassociated alpha")
            << int(PHOTOMETRIC_RGB) << 3 << 16 << false << false << int(EXTRASAMPLE_UNASSALPHA);
        QTest::newRow("RGB 8-bit planar") << int(PHOTOMETRIC_RGB) << 3 << 8 << true << false << -1;
        QTest::newRow("RGB 8-bit tiles") << int(PHOTOMETRIC_RGB) << 3 << 8 << false << true << -1;
        QTest::newRow("grey 16-bit, white is zero") << int(PHOTOMETRIC_MINISWHITE) << 1 << 16 << false << false << -1;
        QTest::newRow("four inks 8-bit") << int(PHOTOMETRIC_SEPARATED) << 4 << 8 << false << false << -1;
        QTest::newRow("four inks 8-bit, associated alpha")
            << int(PHOTOMETRIC_SEPARATED) << 4 << 8 << false << false << int(EXTRASAMPLE_ASSOCALPHA);
        QTest::newRow("four inks 16-bit planar tiles")
            << int(PHOTOMETRIC_SEPARATED) << 4 << 16 << true << true << -1;
    }

    void tiffBandsCountAsTheWholePicture()
    {
        QFETCH(int, photometric);
        QFETCH(int, colours);
        QFETCH(int, bits);
        QFETCH(bool, planar);
        QFETCH(bool, tiled);
        QFETCH(int, alpha);
        TiffPage page;
        page.width = 45;
        page.height = 301;
        page.photometric = photometric;
        page.colourSamples = colours;
        page.bits = bits;
        page.planar = planar;
        page.tiled = tiled;
        page.extraSample = alpha;
        page.compression = COMPRESSION_ADOBE_DEFLATE;
        const int full = (1 << bits) - 1;
        page.sample = [full, colours](int x, int y, int s) {
            // Below the first rows, some pixels without coverage, and the coverage in between.
            if (s == colours)
                return y < 100 ? full : x % 7 == 0 ? 0 : x % 5 == 0 ? full / 2 : full;
            return sampleAt(x, y, s, full);
        };
        const QString path = dir.filePath(QString("bands%1.tif").arg(QTest::currentDataTag()).remove(' '));
        QVERIFY(writeTiff(path, {page}));
        const int channels = colours == 4 ? 4 : colours;
        const PixelTotals reference = referencePass(readWhole(path, channels), nullptr, 1.0f, nullptr);
        QVERIFY(reference.pixelCount > 0);
        const PixelSources whole = readWhole(path, channels);
        // Bands of a strip or a row of tiles at a time, then of several, then the whole picture,
        // decoded on one thread and on several.
        for (int threads : {1, 2, 3, 5}) {
            setWorkerThreads(threads);
            for (qint64 bandPixels : {qint64(1), qint64(45 * 40), defaultBandPixels}) {
                const std::unique_ptr<PictureFile> file = openPictureFile(path, nullptr, bandPixels);
                QVERIFY(file->isOpen());
                file->setChannelCount(channels);
                const BandPassResult pass = passOverBands(*file, qint64(1) << 40, nullptr);
                QVERIFY(pass.complete);
                QCOMPARE(pass.totals.pixelCount, reference.pixelCount);
                QCOMPARE(pass.totals.channelSums, reference.channelSums);
                // Bands decoded into the images of earlier ones are kept as decoded; a
                // separation without coverage in 5 bytes a pixel, until the coverage varies.
                QCOMPARE(levelsOf(pass.kept), levelsOf(whole));
                if (colours == 4 && bits == 8 && alpha < 0 && bandPixels != defaultBandPixels)
                    QVERIFY(keptBytes(pass.kept) <= 5 * 45 * 301 + 3 * 301);
                int bands = 0;
                file->read(0, page.height, [&](const PixelSources &, int) { ++bands; }, nullptr);
                QVERIFY(bandPixels == defaultBandPixels ? bands == 1 : bands > 1);
            }
        }
        setWorkerThreads(0);
    }

    // Bands decoded on several threads are taken in their order, each once.
    void orderedBandsComeInOrder()
    {
        for (int threads : {1, 2, 3, 8}) {
            QVector<int> taken;
            const bool done = decodeBandsInOrder(
                7, threads,
                [](int thread, int band, PixelSources *decoded) {
                    decoded->picture = QImage(1, 1, QImage::Format_Grayscale8);
                    decoded->picture.fill(band);
                    decoded->channelCount = thread;
                    return true;
                },
                [&](int band, const PixelSources &decoded) {
                    QCOMPARE(int(decoded.picture.constScanLine(0)[0]), band);
                    QCOMPARE(decoded.channelCount, band % std::min(threads, 7));
                    taken << band;
                },
                nullptr);
            QVERIFY(done);
            QCOMPARE(taken, QVector<int>({0, 1, 2, 3, 4, 5, 6}));
        }
    }

    // A band that cannot be decoded ends the reading: the bands before it are taken, none after.
    void orderedBandsStopAtAFailure()
    {
        for (int threads : {1, 2, 4}) {
            QVector<int> taken;
            const bool done = decodeBandsInOrder(
                9, threads, [](int, int band, PixelSources *) { return band != 4; },
                [&](int band, const PixelSources &) { taken << band; }, nullptr);
            QVERIFY(!done);
            QCOMPARE(taken, QVector<int>({0, 1, 2, 3}));
        }
    }

    void jpegBandsCountAsTheWholePicture()
    {
        QImage colour(37, 700, QImage::Format_RGB32);
        for (int y = 0; y < colour.height(); ++y)
            for (int x = 0; x < colour.width(); ++x)
                colour.setPixel(x, y, qRgb(sampleAt(x, y, 0, 255), sampleAt(x, y, 1, 255), sampleAt(x, y, 2, 255)));
        CmykJpegFile inks;
        inks.width = 29;
        inks.height = 530;
        inks.ink = [](int x, int y, int c) { return sampleAt(x, y, c, 255); };
        const QVector<QPair<QString, int>> files = {
            {writeJpeg(dir.path(), "colour.jpg", colour), 3},
            {writeJpeg(dir.path(), "grey.jpg", colour.convertToFormat(QImage::Format_Grayscale8), "NumberOfInks:1"), 1},
            {writeCmykJpeg(dir.filePath("inks.jpg"), inks), 4}};
        for (const auto &[path, channels] : files) {
            const PixelTotals reference = referencePass(readWhole(path, channels), nullptr, 1.0f, nullptr);
            const std::unique_ptr<PictureFile> file = openPictureFile(path, nullptr);
            file->setChannelCount(channels);
            const BandPassResult pass = passOverBands(*file, qint64(1) << 40, nullptr);
            QVERIFY2(pass.complete, qPrintable(path));
            QCOMPARE(pass.totals.pixelCount, reference.pixelCount);
            QCOMPARE(pass.totals.channelSums, reference.channelSums);
            // The samples kept from the bands are the whole picture's.
            QCOMPARE(levelsOf(pass.kept), levelsOf(readWhole(path, channels)));
        }
    }

    // A cancelled pass stops between bands and says it is incomplete.
    void cancelledPassIsIncomplete()
    {
        TiffPage page;
        page.width = 64;
        page.height = 512;
        page.photometric = PHOTOMETRIC_RGB;
        page.colourSamples = 3;
        page.sample = [](int x, int y, int s) { return sampleAt(x, y, s, 255); };
        const QString path = dir.filePath("cancelled.tif");
        QVERIFY(writeTiff(path, {page}));
        const std::unique_ptr<PictureFile> file = openPictureFile(path, nullptr, 64);
        file->setChannelCount(3);
        WorkControl control;
        int bands = 0;
        const bool read = file->read(0, 512, [&](const PixelSources &, int) {
            if (++bands == 2)
                control.cancel();
        }, &control);
        QVERIFY(!read);
        QCOMPARE(bands, 2);
        QVERIFY(!passOverBands(*file, 0, &control).complete);
    }
};

QTEST_MAIN(TestBandReading)
#include "test_bandreading.moc"
