// Channel values, masks and sums of the pass over all pixels; the mask rule
// through the fast pass the program runs.
#include "bandpass.h"
#include "lcmshandles.h"
#include "referencepass.h"

#include <QtTest>

namespace {

QImage filled(int width, int height, QImage::Format format, QColor colour)
{
    QImage image(width, height, format);
    image.fill(colour);
    return image;
}

// A four-ink pixel stored as the loader delivers it: inks in per cent.
void setInks(QImage &page1, QImage &page2, int x, int y, int c, int m, int ye, int k, int coverage)
{
    auto level = [](int percent) { return qRound(percent * 2.55); };
    page1.setPixel(x, y, qRgb(level(c), level(m), level(ye)));
    page2.setPixel(x, y, qRgb(level(k), coverage, 0));
}

// The ink per cent that a level of an ink page stands for.
double inkPercent(int level, int full)
{
    return double(scaledFraction(qreal(level) / full, 100.0));
}

} // namespace

class TestPixelPass : public QObject
{
    Q_OBJECT

private slots:
    // The mask rule through the pass the program runs: six equal pixels, all
    // counted or all left out, and the exact sums of those counted.
    void masks_data()
    {
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("format");
        // Red, green, blue, alpha; or for four inks C, M, Y, K and the coverage. Levels of the format.
        QTest::addColumn<QVector<int>>("levels");
        QTest::addColumn<bool>("counted");
        QTest::addColumn<QVector<double>>("values");
        const int rgb = QImage::Format_ARGB32;
        const int deep = QImage::Format_RGBA64;
        const double k99 = inkPercent(252, 255);
        QTest::newRow("RGB") << 3 << rgb << QVector<int>{10, 20, 30, 255} << true << QVector<double>{10, 20, 30, 0};
        QTest::newRow("green key") << 3 << rgb << QVector<int>{0, 255, 0, 255} << false << QVector<double>();
        QTest::newRow("green key but blue 1") << 3 << rgb << QVector<int>{0, 255, 1, 255} << true
                                             << QVector<double>{0, 255, 1, 0};
        QTest::newRow("green key but red 1") << 3 << rgb << QVector<int>{1, 255, 0, 255} << true
                                            << QVector<double>{1, 255, 0, 0};
        QTest::newRow("green key but green 254") << 3 << rgb << QVector<int>{0, 254, 0, 255} << true
                                                << QVector<double>{0, 254, 0, 0};
        QTest::newRow("green key, 16-bit") << 3 << deep << QVector<int>{0, 65535, 0, 65535} << false
                                           << QVector<double>();
        QTest::newRow("green key but blue 1, 16-bit")
            << 3 << deep << QVector<int>{0, 65535, 1, 65535} << true
            << QVector<double>{0, 255, double(scaledFraction(1 / 65535.0, 255.0)), 0};
        QTest::newRow("green in a two-colour image") << 2 << rgb << QVector<int>{0, 255, 0, 255} << true
                                                     << QVector<double>{0, 255, 0, 0};
        QTest::newRow("green in a grey image") << 1 << rgb << QVector<int>{0, 255, 0, 255} << true
                                               << QVector<double>{0, 255, 0, 0};
        QTest::newRow("transparent") << 3 << rgb << QVector<int>{10, 20, 30, 0} << false << QVector<double>();
        QTest::newRow("half transparent") << 3 << rgb << QVector<int>{40, 50, 60, 128} << true
                                          << QVector<double>{40, 50, 60, 0};
        QTest::newRow("transparent, 16-bit") << 3 << deep << QVector<int>{1000, 2000, 3000, 0} << false
                                             << QVector<double>();
        QTest::newRow("all four inks at 100") << 4 << rgb << QVector<int>{255, 255, 255, 255, 255} << false
                                              << QVector<double>();
        QTest::newRow("black at 99") << 4 << rgb << QVector<int>{255, 255, 255, 252, 255} << true
                                     << QVector<double>{100, 100, 100, k99};
        QTest::newRow("cyan at 99") << 4 << rgb << QVector<int>{252, 255, 255, 255, 255} << true
                                    << QVector<double>{k99, 100, 100, 100};
        QTest::newRow("magenta at 99") << 4 << rgb << QVector<int>{255, 252, 255, 255, 255} << true
                                       << QVector<double>{100, k99, 100, 100};
        QTest::newRow("yellow at 99") << 4 << rgb << QVector<int>{255, 255, 252, 255, 255} << true
                                      << QVector<double>{100, 100, k99, 100};
        QTest::newRow("all four inks at 100, 16-bit") << 4 << deep << QVector<int>{65535, 65535, 65535, 65535, 65535}
                                                      << false << QVector<double>();
        QTest::newRow("black at 99, 16-bit") << 4 << deep << QVector<int>{65535, 65535, 65535, 64880, 65535} << true
                                             << QVector<double>{100, 100, 100, inkPercent(64880, 65535)};
        QTest::newRow("no coverage") << 4 << rgb << QVector<int>{51, 77, 102, 26, 0} << false << QVector<double>();
        QTest::newRow("half coverage") << 4 << rgb << QVector<int>{51, 0, 0, 0, 128} << true
                                       << QVector<double>{20, 0, 0, 0};
        QTest::newRow("paper") << 4 << rgb << QVector<int>{0, 0, 0, 0, 255} << true << QVector<double>{0, 0, 0, 0};
    }

    void masks()
    {
        QFETCH(int, channels);
        QFETCH(int, format);
        QFETCH(QVector<int>, levels);
        QFETCH(bool, counted);
        QFETCH(QVector<double>, values);
        const auto colour = [format](int r, int g, int b, int a) {
            if (format != QImage::Format_RGBA64)
                return QColor(r, g, b, a);
            return QColor(QRgba64::fromRgba64(quint16(r), quint16(g), quint16(b), quint16(a)));
        };
        const int full = format == QImage::Format_RGBA64 ? 65535 : 255;
        PixelSources sources{filled(3, 2, QImage::Format(format), colour(levels[0], levels[1], levels[2], levels[3])),
                             {}, {}, channels};
        if (channels == 4) {
            sources.picture = filled(3, 2, QImage::Format_RGB32, Qt::white);
            sources.inkPage1 = filled(3, 2, QImage::Format(format), colour(levels[0], levels[1], levels[2], full));
            sources.inkPage2 = filled(3, 2, QImage::Format(format), colour(levels[3], levels[4], 0, full));
        }
        const PixelTotals totals = passOverBands(KeptRows(sources), 0, nullptr).totals;
        QCOMPARE(totals.pixelCount, counted ? 6 : 0);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(totals.channelSums[size_t(i)], counted ? 6 * values[i] : 0.0);
    }

    // Full levels land exactly on 255 and 100, empty ones on 0.
    void levelsAreExact()
    {
        QCOMPARE(scaledFraction(1.0, 255.0), 255.0f);
        QCOMPARE(scaledFraction(1.0, 100.0), 100.0f);
        QCOMPARE(scaledFraction(0.0, 255.0), 0.0f);
        const PixelSources grey{filled(1, 1, QImage::Format_Grayscale8, QColor(77, 77, 77)), {}, {}, 1};
        QCOMPARE(readPixelValues(grey, 0, 0).channel[0], 77.0f);
        QCOMPARE(readPixelValues(grey, 0, 0).channel[3], 0.0f);
    }

    void transparencyAndAlpha()
    {
        QImage picture = filled(3, 1, QImage::Format_ARGB32, QColor(10, 20, 30, 255));
        picture.setPixelColor(1, 0, QColor(200, 200, 200, 0));
        picture.setPixelColor(2, 0, QColor(40, 50, 60, 128));
        const PixelTotals totals = referencePass({picture, {}, {}, 3}, nullptr, 1.0f, nullptr);
        QCOMPARE(totals.pixelCount, 2);
        QCOMPARE(totals.channelSums[0], 50.0);
        QCOMPARE(totals.channelSums[2], 90.0);
        QCOMPARE(totals.channelSums[3], 0.0);
    }

    void missingOrSmallerInkPagesReadAsNothing()
    {
        QImage page1 = filled(1, 1, QImage::Format_RGB32, Qt::black);
        QImage page2 = page1;
        setInks(page1, page2, 0, 0, 20, 30, 40, 10, 255);
        const QImage picture = filled(2, 1, QImage::Format_RGB32, Qt::white);
        const PixelSources smaller{picture, page1, page2, 4};
        const PixelValues outside = readPixelValues(smaller, 1, 0);
        for (float channel : outside.channel)
            QCOMPARE(channel, 0.0f);
        QCOMPARE(outside.coverage, 0.0f);
        QCOMPARE(referencePass(smaller, nullptr, 1.0f, nullptr).pixelCount, 1);
        QCOMPARE(referencePass({picture, {}, {}, 4}, nullptr, 1.0f, nullptr).pixelCount, 0);
    }

    // Ink 4 kept alone in a grey image: every pixel it holds is covered, one it lacks is not, on every road.
    void blackAloneIsCovered()
    {
        const QImage inks = filled(3, 2, QImage::Format_RGBX8888, QColor(51, 102, 255));
        const QImage black = filled(3, 2, QImage::Format_Grayscale8, QColor(26, 26, 26));
        const PixelSources paired{inks, inks, filled(3, 2, QImage::Format_RGBX8888, QColor(26, 255, 0)), 4};
        const PixelTotals expected = referencePass(paired, nullptr, 1.0f, nullptr);
        QCOMPARE(expected.pixelCount, 6);
        const PixelSources alone{inks, inks, black, 4};
        const QImage deepInks = inks.convertToFormat(QImage::Format_RGBA64);
        const PixelSources deep{deepInks, deepInks, black, 4};
        for (const PixelSources &sources : {alone, deep}) {
            QCOMPARE(readPixelValues(sources, 2, 1).coverage, 1.0f);
            QCOMPARE(referencePass(sources, nullptr, 1.0f, nullptr).channelSums, expected.channelSums);
            const PixelTotals counted = passOverBands(KeptRows(sources), 0, nullptr).totals;
            QCOMPARE(counted.pixelCount, 6);
            QCOMPARE(counted.channelSums, expected.channelSums);
        }
        const PixelSources narrower{inks, inks, black.copy(0, 0, 2, 2), 4};
        QCOMPARE(readPixelValues(narrower, 2, 1).coverage, 0.0f);
        QCOMPARE(passOverBands(KeptRows(narrower), 0, nullptr).totals.pixelCount, 4);
    }

    void emptyAndAllMaskedImages()
    {
        ProfileHandle srgb(cmsCreate_sRGBProfile());
        TransformHandle toMonitor(cmsCreateTransform(srgb.get(), TYPE_RGB_FLT, srgb.get(), TYPE_RGB_FLT,
                                                     INTENT_RELATIVE_COLORIMETRIC, 0));
        QImage display;
        const PixelTotals none = referencePass({QImage(), {}, {}, 3}, toMonitor.get(), 1 / 255.0f, &display);
        QCOMPARE(none.pixelCount, 0);
        QVERIFY(display.isNull() || display.size().isEmpty());

        const QImage green = filled(4, 3, QImage::Format_RGB32, QColor(0, 255, 0));
        const PixelTotals masked = referencePass({green, {}, {}, 3}, toMonitor.get(), 1 / 255.0f, &display);
        QCOMPARE(masked.pixelCount, 0);
        QCOMPARE(display.size(), QSize(4, 3));
        QCOMPARE(display.format(), QImage::Format_RGBA8888);
        QCOMPARE(qAlpha(display.pixel(3, 2)), 0);
    }

    void displayShowsCountedPixelsOpaque()
    {
        ProfileHandle srgb(cmsCreate_sRGBProfile());
        TransformHandle identity(cmsCreateTransform(srgb.get(), TYPE_RGB_FLT, srgb.get(), TYPE_RGB_FLT,
                                                    INTENT_RELATIVE_COLORIMETRIC, 0));
        QImage picture = filled(3, 1, QImage::Format_ARGB32, QColor(200, 100, 50));
        picture.setPixelColor(1, 0, QColor(200, 100, 50, 128));
        picture.setPixelColor(2, 0, QColor(200, 100, 50, 0));
        QImage display;
        referencePass({picture, {}, {}, 3}, identity.get(), 1 / 255.0f, &display);
        for (int x = 0; x < 2; ++x) {
            const QColor shown = display.pixelColor(x, 0);
            QCOMPARE(shown.alpha(), 255);
            QVERIFY(qAbs(shown.red() - 200) <= 1 && qAbs(shown.green() - 100) <= 1 && qAbs(shown.blue() - 50) <= 1);
        }
        QCOMPARE(display.pixelColor(2, 0).alpha(), 0);
    }

    // A float accumulator stalls near 2^24 per channel; the average of a
    // large image must still come out exact.
    void largeImageAverageIsExact()
    {
        const int width = 3000, height = 2000;
        QImage picture(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y) {
            auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
            for (int x = 0; x < width; ++x)
                row[x] = (x + y) % 2 ? qRgb(129, 7, 250) : qRgb(128, 7, 251);
        }
        const PixelTotals totals = referencePass({picture, {}, {}, 3}, nullptr, 1.0f, nullptr);
        QCOMPARE(totals.pixelCount, width * height);
        QCOMPARE(totals.channelSums[0] / totals.pixelCount, 128.5);
        QCOMPARE(totals.channelSums[1] / totals.pixelCount, 7.0);
        QCOMPARE(totals.channelSums[2] / totals.pixelCount, 250.5);
    }
};

QTEST_MAIN(TestPixelPass)
#include "test_pixelpass.moc"
