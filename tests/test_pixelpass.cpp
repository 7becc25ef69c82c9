// Channel values, masks and sums of the pass over all pixels.
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

} // namespace

class TestPixelPass : public QObject
{
    Q_OBJECT

private slots:
    void greenKeyOnlyForThreeChannels_data()
    {
        QTest::addColumn<int>("channels");
        QTest::addColumn<bool>("masked");
        QTest::newRow("grey") << 1 << false;
        QTest::newRow("two colours") << 2 << false;
        QTest::newRow("RGB") << 3 << true;
        QTest::newRow("no count") << 0 << false;
    }

    void greenKeyOnlyForThreeChannels()
    {
        QFETCH(int, channels);
        QFETCH(bool, masked);
        PixelSources sources{filled(2, 1, QImage::Format_RGB32, QColor(0, 255, 0)), {}, {}, channels};
        sources.picture.setPixel(1, 0, qRgb(0, 254, 0));
        const PixelTotals totals = referencePass(sources, nullptr, 1.0f, nullptr);
        QCOMPARE(totals.pixelCount, masked ? 1 : 2);
        QCOMPARE(totals.channelSums[1], masked ? 254.0 : 509.0);
    }

    void fourInkMasks_data()
    {
        QTest::addColumn<QVector<int>>("inks");
        QTest::addColumn<int>("coverage");
        QTest::addColumn<bool>("counted");
        QTest::newRow("all inks full") << QVector<int>{100, 100, 100, 100} << 255 << false;
        QTest::newRow("black at 99") << QVector<int>{100, 100, 100, 99} << 255 << true;
        QTest::newRow("no coverage") << QVector<int>{20, 30, 40, 10} << 0 << false;
        QTest::newRow("half coverage") << QVector<int>{20, 30, 40, 10} << 128 << true;
        QTest::newRow("paper") << QVector<int>{0, 0, 0, 0} << 255 << true;
    }

    void fourInkMasks()
    {
        QFETCH(QVector<int>, inks);
        QFETCH(int, coverage);
        QFETCH(bool, counted);
        QImage page1 = filled(1, 1, QImage::Format_RGB32, Qt::black);
        QImage page2 = page1;
        setInks(page1, page2, 0, 0, inks[0], inks[1], inks[2], inks[3], coverage);
        const PixelSources sources{filled(1, 1, QImage::Format_RGB32, Qt::white), page1, page2, 4};
        const PixelValues values = readPixelValues(sources, 0, 0);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(values.channel[i], scaledFraction(qRound(inks[i] * 2.55) / 255.0, 100.0));
        QCOMPARE(maskOf(values, 4) == PixelMask::Counted, counted);
        const PixelTotals totals = referencePass(sources, nullptr, 1.0f, nullptr);
        QCOMPARE(totals.pixelCount, counted ? 1 : 0);
        QCOMPARE(totals.channelSums[3], counted ? double(values.channel[3]) : 0.0);
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
