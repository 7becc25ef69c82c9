// The pass over bands counts exactly what the per-pixel reference counts,
// whatever the bands and the threads, and keeps the samples as they were.
#include "bandedrows.h"
#include "bandpass.h"
#include "boxaverages.h"
#include "boxreduction.h"
#include "lcmshandles.h"
#include "pagepreparation.h"
#include "parallel.h"
#include "pixelrows.h"
#include "referencepass.h"

#include <QtTest>

#include <algorithm>
#include <cstring>
#include <random>

namespace {

// An image whose every byte is noise, with the chosen values planted:
// the green key, full and empty alpha, half alpha.
QImage noisyImage(QImage::Format format, int width, int height, quint32 seed)
{
    QImage image(width, height, format);
    if (format == QImage::Format_Indexed8) {
        QVector<QRgb> table;
        for (int i = 0; i < 200; ++i)
            table << qRgba(i, 255 - i, (i * 7) % 256, i % 3 == 0 ? 0 : i % 3 == 1 ? 255 : 128);
        table[5] = qRgb(0, 255, 0);
        image.setColorTable(table);
    }
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y) {
        uchar *line = image.scanLine(y);
        for (int i = 0; i < image.bytesPerLine(); ++i)
            line[i] = uchar(random());
    }
    if (width > 3 && height > 0 && format != QImage::Format_Indexed8) {
        image.setPixelColor(0, 0, QColor(0, 255, 0));
        image.setPixelColor(1, 0, QColor(10, 20, 30, 0));
        image.setPixelColor(2, 0, QColor(10, 20, 30, 128));
        image.setPixelColor(3, 0, QColor(255, 255, 255));
    }
    return image;
}

void compareOutcomes(const PixelSources &sources, float scale)
{
    const PixelTotals reference = referencePass(sources, nullptr, scale, nullptr);
    const int height = sources.picture.height();
    for (int bandRows : {1, 7, std::max(1, height)}) {
        const BandPassResult pass = passOverBands(BandedRows(sources, bandRows), qint64(1) << 40, nullptr);
        QVERIFY(pass.complete);
        QCOMPARE(pass.totals.pixelCount, reference.pixelCount);
        QCOMPARE(pass.totals.channelSums, reference.channelSums);
        // The kept samples are the picture's own, whatever the bands.
        const QImage &page = sources.channelCount >= 4 ? sources.inkPage1 : sources.picture;
        const QImage &kept = sources.channelCount >= 4 ? pass.kept.inkPage1 : pass.kept.picture;
        if (!page.isNull())
            QCOMPARE(kept, page);
    }
}

} // namespace

class TestBandPass : public QObject
{
    Q_OBJECT


private slots:
    void formatsAndShapes_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QSize>("size");
        const QPair<QImage::Format, const char *> formats[] = {
            {QImage::Format_RGB32, "RGB32"}, {QImage::Format_ARGB32, "ARGB32"},
            {QImage::Format_ARGB32_Premultiplied, "ARGB32 premultiplied"}, {QImage::Format_RGBX8888, "RGBX8888"},
            {QImage::Format_RGBA8888, "RGBA8888"}, {QImage::Format_RGBA8888_Premultiplied, "RGBA8888 premultiplied"},
            {QImage::Format_Grayscale8, "Grayscale8"}, {QImage::Format_Grayscale16, "Grayscale16"},
            {QImage::Format_RGBX64, "RGBX64"}, {QImage::Format_RGBA64, "RGBA64"},
            {QImage::Format_RGBA64_Premultiplied, "RGBA64 premultiplied"}, {QImage::Format_Indexed8, "Indexed8"},
            {QImage::Format_RGB888, "RGB888"}, {QImage::Format_BGR888, "BGR888"}, {QImage::Format_Mono, "Mono"},
            {QImage::Format_MonoLSB, "MonoLSB"}, {QImage::Format_RGB16, "RGB16"},
            {QImage::Format_ARGB8565_Premultiplied, "ARGB8565 premultiplied"}, {QImage::Format_RGB666, "RGB666"},
            {QImage::Format_ARGB6666_Premultiplied, "ARGB6666 premultiplied"}, {QImage::Format_RGB555, "RGB555"},
            {QImage::Format_ARGB8555_Premultiplied, "ARGB8555 premultiplied"}, {QImage::Format_RGB444, "RGB444"},
            {QImage::Format_ARGB4444_Premultiplied, "ARGB4444 premultiplied"}, {QImage::Format_BGR30, "BGR30"},
            {QImage::Format_A2BGR30_Premultiplied, "A2BGR30 premultiplied"}, {QImage::Format_RGB30, "RGB30"},
            {QImage::Format_A2RGB30_Premultiplied, "A2RGB30 premultiplied"}, {QImage::Format_Alpha8, "Alpha8"}};
        for (const auto &format : formats) {
            const bool grey = format.first == QImage::Format_Grayscale8 || format.first == QImage::Format_Grayscale16;
            QTest::newRow(format.second) << int(format.first) << (grey ? 1 : 3) << QSize(67, 41);
        }
        QTest::newRow("RGB32 1 x 1") << int(QImage::Format_RGB32) << 3 << QSize(1, 1);
        QTest::newRow("RGB32 1 x 50") << int(QImage::Format_RGB32) << 3 << QSize(1, 50);
        QTest::newRow("RGB32 77 x 1") << int(QImage::Format_RGB32) << 3 << QSize(77, 1);
        QTest::newRow("RGB32 0 x 0") << int(QImage::Format_RGB32) << 3 << QSize(0, 0);
        QTest::newRow("RGB32 read as grey") << int(QImage::Format_RGB32) << 1 << QSize(33, 35);
        // Large enough for the table of every 8-bit colour, and noise that defeats colour reuse.
        QTest::newRow("RGBX8888 large") << int(QImage::Format_RGBX8888) << 3 << QSize(1030, 1021);
        QTest::newRow("RGBA64 noise") << int(QImage::Format_RGBA64) << 3 << QSize(301, 299);
        // Wider than the part of a row whose colour levels are summed in 32 bits at once.
        QTest::newRow("ARGB32 70 000 wide") << int(QImage::Format_ARGB32) << 3 << QSize(70000, 3);
    }

    void formatsAndShapes()
    {
        QFETCH(int, format);
        QFETCH(int, channels);
        QFETCH(QSize, size);
        const QImage picture = size.isEmpty() ? QImage() : noisyImage(QImage::Format(format), size.width(), size.height(), 7);
        compareOutcomes({picture, {}, {}, channels}, 1.0f / 255.0f);
    }

    // The first drawing gathered beside the counting, whether the samples are
    // kept (gathered from them while the counter waits, the rest when drawn) or
    // not (gathered from every band), draws as the picture's rows draw.
    void firstDrawingGatheredDuringThePass()
    {
        const PixelSources sources{noisyImage(QImage::Format_ARGB32, 301, 203, 11), {}, {}, 3};
        const QRectF whole(0, 0, 301, 203);
        const QSize output(37, 23);
        const KeptRows rows(sources);
        const QImage expected = BoxReduction(rows, nullptr, 1.0f).render(whole, output);
        for (const qint64 budget : {qint64(1) << 40, qint64(0)})
            for (const int bandRows : {1, 7, 64, 203}) {
                BoxAverages averages(sources.picture.size(), 3, output);
                const BandPassResult pass = passOverBands(BandedRows(sources, bandRows), budget, nullptr, &averages);
                QVERIFY(pass.complete);
                QVERIFY(!averages.abandoned());
                QCOMPARE(pass.kept.picture.isNull(), budget == 0);
                QCOMPARE(averages.draw(rows, nullptr, 1.0f), expected);
            }
    }

    void fourInkPages_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QSize>("page1");
        QTest::addColumn<QSize>("page2");
        const QSize full(53, 37);
        QTest::newRow("8-bit pages") << int(QImage::Format_RGBX8888) << full << full;
        QTest::newRow("16-bit pages") << int(QImage::Format_RGBX64) << full << full;
        QTest::newRow("RGB32 pages") << int(QImage::Format_RGB32) << full << full;
        QTest::newRow("missing first page") << int(QImage::Format_RGBX8888) << QSize() << full;
        QTest::newRow("missing second page") << int(QImage::Format_RGBX8888) << full << QSize();
        QTest::newRow("smaller pages") << int(QImage::Format_RGBX8888) << QSize(20, 37) << QSize(53, 11);
    }

    void fourInkPages()
    {
        QFETCH(int, format);
        QFETCH(QSize, page1);
        QFETCH(QSize, page2);
        auto page = [&](QSize size, quint32 seed) {
            if (size.isEmpty())
                return QImage();
            QImage image = noisyImage(QImage::Format(format), size.width(), size.height(), seed);
            // Some pixels with all inks full, some with no coverage.
            for (int x = 0; x < size.width(); x += 5)
                image.setPixelColor(x, 0, QColor(255, x % 2 ? 255 : 0, 255));
            return image;
        };
        QImage inks = page(page1, 11);
        QImage rest = page(page2, 12);
        compareOutcomes({inks, inks, rest, 4}, 1.0f);
    }

    // The sums are exact, so they cannot depend on how the rows are shared out.
    void totalsIndependentOfThreads_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("channels");
        QTest::newRow("8-bit RGB") << int(QImage::Format_RGB32) << 3;
        QTest::newRow("16-bit RGB with alpha") << int(QImage::Format_RGBA64) << 3;
        QTest::newRow("grey") << int(QImage::Format_Grayscale16) << 1;
        QTest::newRow("four inks, 16-bit") << int(QImage::Format_RGBX64) << 4;
        QTest::newRow("four inks, 8-bit") << int(QImage::Format_RGBA8888) << 4;
    }

    void totalsIndependentOfThreads()
    {
        QFETCH(int, format);
        QFETCH(int, channels);
        const QImage page = noisyImage(QImage::Format(format), 211, 97, 11);
        const QImage coverage = noisyImage(QImage::Format(format), 211, 97, 12);
        const PixelSources sources{page, page, coverage, channels};
        const float scale = channels == 4 ? 1.0f : 1.0f / 255.0f;
        const PixelTotals reference = referencePass(sources, nullptr, scale, nullptr);
        for (int threads : {1, 2, 3, 8}) {
            setWorkerThreads(threads);
            for (int bandRows : {5, 97}) {
                const PixelTotals totals = passOverBands(BandedRows(sources, bandRows), 0, nullptr).totals;
                QCOMPARE(totals.pixelCount, reference.pixelCount);
                QCOMPARE(totals.channelSums, reference.channelSums);
            }
        }
        setWorkerThreads(0);
    }

    // 16-bit samples that hold any level in the top rows and only 8-bit
    // levels (v × 257) below: the counts of rows that met only those are
    // added to counts that met others, and the other way round.
    void eightBitLevelsAndOthers()
    {
        for (const int format : {int(QImage::Format_RGBA64), int(QImage::Format_Grayscale16)}) {
            QImage page = noisyImage(QImage::Format(format), 53, 120, 21);
            for (int y = 30; y < 120; ++y) {
                auto *levels = reinterpret_cast<quint16 *>(page.scanLine(y));
                for (int i = 0; i < page.bytesPerLine() / 2; ++i)
                    levels[i] = quint16((levels[i] & 0xFF) * 257);
            }
            for (int threads : {1, 3}) {
                setWorkerThreads(threads);
                compareOutcomes(PixelSources{page, {}, {}, format == QImage::Format_Grayscale16 ? 1 : 3}, 1.0f / 255.0f);
            }
        }
        setWorkerThreads(0);
    }

    // Getting pages ready changes no byte: rows written from the top meanwhile keep
    // what was written, and rows it never reaches keep what they held.
    void preparedPagesKeepTheirBytes()
    {
        QImage image(1500, 1200, QImage::Format_RGB32);
        image.fill(qRgb(1, 2, 3));
        const auto rowIs = [&image](int y, QRgb colour) {
            const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            return std::all_of(row, row + image.width(), [colour](QRgb pixel) { return pixel == colour; });
        };
        {
            PagePreparation preparation({&image}, image.height());
            for (int y = 0; y < image.height() / 2; ++y) {
                auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
                std::fill_n(row, image.width(), qRgb(y % 256, 5, 6));
                preparation.rowsWritten(y + 1);
            }
        }
        for (int y = 0; y < image.height(); ++y)
            QVERIFY2(rowIs(y, y < image.height() / 2 ? qRgb(y % 256, 5, 6) : qRgb(1, 2, 3)), qPrintable(QString::number(y)));
    }

    void levelTablesMatchColourFractions()
    {
        for (double scale : {255.0, 100.0}) {
            const auto &table = levelTable(scale);
            for (int level = 0; level < 65536; ++level) {
                QColor colour(QRgba64::fromRgba64(quint16(level), 0, 0, 65535));
                if (table[size_t(level)] != scaledFraction(colour.redF(), scale))
                    QFAIL(qPrintable(QString("level %1 at scale %2").arg(level).arg(scale)));
            }
            QCOMPARE(table[65535], float(scale));
            QCOMPARE(table[0], 0.0f);
        }
        // Counting and drawing sum 8-bit colour as whole numbers: their levels must be the bytes themselves.
        for (int byte = 0; byte < 256; ++byte)
            QCOMPARE(levelTable(255.0)[size_t(byte * 257)], float(byte));
    }

    // The fast pass masks on whole levels; that holds only while no other
    // level reaches the record's 0, 255 or 100, or a coverage of 0.
    void masksHoldOnWholeLevels()
    {
        for (int level = 1; level < 65535; ++level) {
            const bool reaches = levelTable(255.0)[size_t(level)] == 0.0f || levelTable(255.0)[size_t(level)] == 255.0f ||
                                 levelTable(100.0)[size_t(level)] == 100.0f || float(level / 65535.0) == 0.0f;
            if (reaches)
                QFAIL(qPrintable(QString("level %1").arg(level)));
        }
    }

    void rowsMatchPixelColour_data()
    {
        QTest::addColumn<int>("format");
        for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied,
                                      QImage::Format_RGBX8888, QImage::Format_RGBA8888,
                                      QImage::Format_RGBA8888_Premultiplied, QImage::Format_Grayscale8,
                                      QImage::Format_Grayscale16, QImage::Format_RGBX64, QImage::Format_RGBA64,
                                      QImage::Format_RGBA64_Premultiplied, QImage::Format_Indexed8})
            QTest::newRow(qPrintable(QString::number(int(format)))) << int(format);
    }

    void rowsMatchPixelColour()
    {
        QFETCH(int, format);
        const QImage image = noisyImage(QImage::Format(format), 300, 4, 99);
        std::vector<QRgba64> row(300);
        for (int y = 0; y < 4; ++y) {
            QVERIFY(readRow64(image, y, row.data()));
            for (int x = 0; x < 300; ++x)
                QCOMPARE(QColor(row[size_t(x)]), image.pixelColor(x, y));
        }
    }
};

QTEST_MAIN(TestBandPass)
#include "test_bandpass.moc"
