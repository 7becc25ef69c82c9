// The picture drawn at the size it is shown: each output pixel against the
// conversion of its box average, computed here pixel by pixel.
#include "bandedrows.h"
#include "boxaverages.h"
#include "boxreduction.h"
#include "displaybytes.h"
#include "displayconversion.h"
#include "displayrendering.h"
#include "profiles.h"
#include "testenvironment.h"
#include "workcontrol.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cstring>

namespace {

struct Rendering {
    PixelSources sources;
    TransformHandle transform;
    float inputScale = 1.0f;
};

Rendering throughProfile(PixelSources sources, cmsHPROFILE input)
{
    Rendering rendering;
    ProfileHandle inputHandle(input);
    ProfileHandle monitor(cmsCreate_sRGBProfile());
    rendering.transform = makeDisplayTransform(inputHandle.get(), monitor.get(), sources.channelCount,
                                               &rendering.inputScale);
    rendering.sources = std::move(sources);
    return rendering;
}

QImage randomImage(int width, int height, QImage::Format format, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(width, height, format);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y, QColor::fromRgba64(quint16(random.bounded(65536)), quint16(random.bounded(65536)),
                                                         quint16(random.bounded(65536))));
    return image;
}

// An RGB picture with a green-key pixel, a transparent one and a half transparent one.
PixelSources maskedRgb(QImage::Format format)
{
    QImage picture = randomImage(7, 5, format, 7).convertToFormat(format);
    picture.setPixelColor(1, 1, QColor(0, 255, 0));
    picture.setPixelColor(4, 2, QColor(10, 20, 30, 0));
    picture.setPixelColor(5, 3, QColor(200, 100, 50, 128));
    return {picture, {}, {}, 3};
}

// A separation as the loader hands it over: inks 1-3 in the first page, ink 4 and the coverage in the second.
PixelSources separation()
{
    QImage page1 = randomImage(7, 5, QImage::Format_RGB32, 11);
    QImage page2 = randomImage(7, 5, QImage::Format_RGB32, 13);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            page2.setPixel(x, y, qRgb(qRed(page2.pixel(x, y)), 255, 0));
    // All four inks full: masked.
    page1.setPixel(2, 1, qRgb(255, 255, 255));
    page2.setPixel(2, 1, qRgb(255, 255, 0));
    return {QImage(7, 5, QImage::Format_RGB32), page1, page2, 4};
}

// The separation in the loader's own format: its pages' bytes are read straight.
PixelSources eightBitPages(PixelSources inks)
{
    inks.inkPage1 = inks.inkPage1.convertToFormat(QImage::Format_RGBX8888);
    inks.inkPage2 = inks.inkPage2.convertToFormat(QImage::Format_RGBX8888);
    inks.picture = inks.inkPage1;
    return inks;
}

quint32 withAlpha(quint32 bytes, double share)
{
    uchar parts[4];
    std::memcpy(parts, &bytes, 4);
    parts[3] = uchar(std::lround(share * 255.0));
    std::memcpy(&bytes, parts, 4);
    return bytes;
}

// Output pixel (i, j) of area at size, averaged over every source pixel by its overlap with the box.
quint32 boxAverage(const Rendering &r, const QRectF &area, QSize size, int i, int j)
{
    const double x0 = area.x() + area.width() * i / size.width();
    const double x1 = area.x() + area.width() * (i + 1) / size.width();
    const double y0 = area.y() + area.height() * j / size.height();
    const double y1 = area.y() + area.height() * (j + 1) / size.height();
    double sums[4] = {}, counted = 0.0;
    for (int y = 0; y < r.sources.picture.height(); ++y)
        for (int x = 0; x < r.sources.picture.width(); ++x) {
            const double weight = std::max(0.0, std::min(x + 1.0, x1) - std::max(double(x), x0)) *
                                  std::max(0.0, std::min(y + 1.0, y1) - std::max(double(y), y0));
            const PixelValues values = readPixelValues(r.sources, x, y);
            if (weight == 0.0 || maskOf(values, r.sources.channelCount) != PixelMask::Counted)
                continue;
            for (int c = 0; c < 4; ++c)
                sums[c] += weight * double(values.channel[c]);
            counted += weight;
        }
    if (counted == 0.0)
        return 0;
    const float average[4] = {float(sums[0] / counted), float(sums[1] / counted), float(sums[2] / counted),
                              float(sums[3] / counted)};
    float rgb[3];
    convertToDisplay(r.transform.get(), r.inputScale, average, rgb);
    return withAlpha(opaqueDisplayBytes(rgb), counted / ((x1 - x0) * (y1 - y0)));
}

// Output pixel (i, j) above 100 %: the source pixel under its centre, converted alone.
quint32 block(const Rendering &r, const QRectF &area, QSize size, int i, int j)
{
    const int x = int(std::floor(area.x() + (i + 0.5) * area.width() / size.width()));
    const int y = int(std::floor(area.y() + (j + 0.5) * area.height() / size.height()));
    const PixelValues values = readPixelValues(r.sources, x, y);
    if (maskOf(values, r.sources.channelCount) != PixelMask::Counted)
        return 0;
    float rgb[3];
    convertToDisplay(r.transform.get(), r.inputScale, values.channel, rgb);
    return opaqueDisplayBytes(rgb);
}

// The test pictures by name: masked 8-bit colour in three layouts, grey, 16-bit colour and four inks.
Rendering namedPicture(const QString &picture)
{
    return picture == "four inks" ? throughProfile(separation(), openDefaultCmyk())
                   : picture == "four inks, 8-bit pages"
                       ? throughProfile(eightBitPages(separation()), openDefaultCmyk())
                   : picture == "8-bit RGB"
                       ? throughProfile(maskedRgb(QImage::Format_ARGB32), makeWideRgbProfile("wide"))
                   : picture == "8-bit RGB32"
                       ? throughProfile(maskedRgb(QImage::Format_RGB32), makeWideRgbProfile("wide"))
                   : picture == "8-bit RGBA8888"
                       ? throughProfile(maskedRgb(QImage::Format_RGBA8888), makeWideRgbProfile("wide"))
                   : picture == "8-bit grey"
                       ? throughProfile({randomImage(7, 5, QImage::Format_Grayscale8, 17), {}, {}, 1},
                                         makeGrayProfile("grey"))
                       : throughProfile(maskedRgb(QImage::Format_RGBA64), makeWideRgbProfile("wide"));
}

quint32 shownBytes(const QImage &image, int i, int j)
{
    quint32 bytes;
    std::memcpy(&bytes, image.constScanLine(j) + 4 * i, 4);
    return bytes;
}

} // namespace

class TestBoxReduction : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpTestEnvironment(); }

    void everyPixelIsItsConvertedBox_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QRectF>("area");
        QTest::addColumn<QSize>("size");
        for (const QString picture : {"8-bit RGB", "8-bit RGB32", "8-bit RGBA8888", "8-bit grey", "16-bit RGB", "four inks",
                                      "four inks, 8-bit pages"}) {
            const QByteArray name = picture.toUtf8();
            QTest::newRow(name + ", 7 into 3") << picture << QRectF(0, 0, 7, 5) << QSize(3, 2);
            QTest::newRow(name + ", fractional area") << picture << QRectF(0.5, 0.25, 6.2, 4.5) << QSize(4, 3);
            QTest::newRow(name + ", beyond the picture") << picture << QRectF(-1, -1, 9, 7) << QSize(4, 3);
            QTest::newRow(name + ", 100 %") << picture << QRectF(0, 0, 7, 5) << QSize(7, 5);
            QTest::newRow(name + ", 400 %") << picture << QRectF(1, 1, 4, 3) << QSize(16, 12);
            QTest::newRow(name + ", 250 % off the grid") << picture << QRectF(0.3, 0.7, 4, 2) << QSize(10, 5);
        }
    }

    void everyPixelIsItsConvertedBox()
    {
        QFETCH(QString, picture);
        QFETCH(QRectF, area);
        QFETCH(QSize, size);
        const Rendering r = namedPicture(picture);
        QVERIFY(r.transform);
        const KeptRows rows(r.sources);
        const QImage shown = BoxReduction(rows, r.transform.get(), r.inputScale).render(area, size);
        QCOMPARE(shown.format(), QImage::Format_RGBA8888);
        QCOMPARE(shown.size(), size);
        const bool blocks = size.width() >= area.width();
        for (int j = 0; j < size.height(); ++j)
            for (int i = 0; i < size.width(); ++i) {
                const quint32 expected = blocks ? block(r, area, size, i, j) : boxAverage(r, area, size, i, j);
                QVERIFY2(shownBytes(shown, i, j) == expected, qPrintable(QString("pixel %1, %2").arg(i).arg(j)));
            }
    }

    // Gathered from a pass's bands, of any height, the averages draw as the reduction reads the rows itself.
    void averagesFromBandsDrawAsTheReduction_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<int>("bandRows");
        for (const QString picture : {"8-bit RGB", "8-bit RGB32", "8-bit RGBA8888", "8-bit grey"})
            for (const int bandRows : {1, 2, 5})
                QTest::newRow(qPrintable(QString("%1, bands of %2").arg(picture).arg(bandRows))) << picture << bandRows;
    }

    void averagesFromBandsDrawAsTheReduction()
    {
        QFETCH(QString, picture);
        QFETCH(int, bandRows);
        const Rendering r = namedPicture(picture);
        const QSize size = r.sources.picture.size();
        const QRectF whole(QPointF(0, 0), QSizeF(size));
        const QSize output(3, 2);
        BoxAverages averages(size, r.sources.channelCount, output);
        BandedRows(r.sources, bandRows).read(
            0, size.height(), [&](const PixelSources &band, int top) { averages.take(band, top); }, nullptr);
        QVERIFY(averages.complete());
        const KeptRows rows(r.sources);
        QCOMPARE(averages.draw(rows, r.transform.get(), r.inputScale),
                 BoxReduction(rows, r.transform.get(), r.inputScale).render(whole, output));
        QCOMPARE(averages.draw(rows, nullptr, 1.0f), BoxReduction(rows, nullptr, 1.0f).render(whole, output));
    }

    // Gathered in steps from samples kept so far, and the rest when drawn.
    void keptRowsGatheredInStepsAndTheRestWhenDrawn()
    {
        const Rendering r = namedPicture("8-bit RGB");
        const QSize size = r.sources.picture.size();
        const KeptRows rows(r.sources);
        BoxAverages averages(size, 3, QSize(3, 2));
        QVERIFY(averages.gatherKept(r.sources, 2, 1));
        QVERIFY(averages.gatherKept(r.sources, 2, 5));
        QVERIFY(!averages.gatherKept(r.sources, 2, 5));
        QVERIFY(!averages.complete());
        const QImage expected = BoxReduction(rows, r.transform.get(), r.inputScale).render(QRectF(0, 0, 7, 5), QSize(3, 2));
        QCOMPARE(averages.draw(rows, r.transform.get(), r.inputScale), expected);
        QVERIFY(averages.complete());
        QCOMPARE(averages.draw(rows, r.transform.get(), r.inputScale), expected);
    }

    // Until its last band the picture is not complete; a band the gathering
    // does not take (16-bit, four inks) stops it for good, and it draws nothing.
    void abandonedAveragesDrawNothing()
    {
        const Rendering r = namedPicture("8-bit RGB");
        BoxAverages averages(r.sources.picture.size(), 3, QSize(3, 2));
        averages.take({r.sources.picture.copy(0, 0, 7, 4), {}, {}, 3}, 0);
        QVERIFY(!averages.complete());
        QVERIFY(!averages.abandoned());
        for (const QString picture : {"16-bit RGB", "four inks, 8-bit pages"}) {
            const Rendering other = namedPicture(picture);
            BoxAverages abandoned(other.sources.picture.size(), other.sources.channelCount, QSize(3, 2));
            abandoned.take(other.sources, 0);
            QVERIFY2(abandoned.abandoned() && !abandoned.complete(), qPrintable(picture));
            QVERIFY(abandoned.draw(KeptRows(other.sources), other.transform.get(), other.inputScale).isNull());
        }
    }

    // A box of masked pixels only is transparent; one half masked is half covered, in the colour of the rest.
    void maskedPixelsAddNoColour()
    {
        QImage picture(4, 1, QImage::Format_ARGB32);
        picture.setPixelColor(0, 0, QColor(0, 255, 0));
        picture.setPixelColor(1, 0, QColor(9, 9, 9, 0));
        picture.setPixelColor(2, 0, QColor(0, 255, 0));
        picture.setPixelColor(3, 0, QColor(120, 60, 30));
        const Rendering r = throughProfile({picture, {}, {}, 3}, cmsCreate_sRGBProfile());
        const KeptRows rows(r.sources);
        const QImage shown = BoxReduction(rows, r.transform.get(), r.inputScale).render(QRectF(0, 0, 4, 1), QSize(2, 1));
        QCOMPARE(shown.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(shown.pixelColor(1, 0).alpha(), 128);
        QCOMPARE(shown.pixelColor(1, 0).rgb(), QColor(120, 60, 30).rgb());
    }

    // Shown through the monitor's own profile, a picture needs no conversion; any other profile does.
    void onlyTheMonitorsOwnProfileConvertsNothing()
    {
        const ProfileHandle monitor(cmsCreate_sRGBProfile());
        QByteArray later = profileBytes(monitor.get());
        // The same profile made a second later.
        later[35] = char(later[35] ^ 1);
        const ProfileHandle madeLater(cmsOpenProfileFromMem(later.constData(), cmsUInt32Number(later.size())));
        QVERIFY(displayConvertsNothing(madeLater.get(), monitor.get()));
        const ProfileHandle wide(makeWideRgbProfile("wide"));
        const ProfileHandle grey(makeGrayProfile("grey"));
        const ProfileHandle renamed(cmsCreate_sRGBProfile());
        setDescription(renamed.get(), "sRGB, renamed");
        QVERIFY(!displayConvertsNothing(wide.get(), monitor.get()));
        QVERIFY(!displayConvertsNothing(grey.get(), monitor.get()));
        QVERIFY(!displayConvertsNothing(renamed.get(), monitor.get()));
        QVERIFY(!displayConvertsNothing(nullptr, monitor.get()));
    }

    void cancelledWorkGivesNothing()
    {
        const PixelSources sources{randomImage(64, 64, QImage::Format_RGB32, 5), {}, {}, 3};
        const KeptRows rows(sources);
        WorkControl control;
        control.cancel();
        QVERIFY(BoxReduction(rows, nullptr, 1.0f).render(QRectF(0, 0, 64, 64), QSize(20, 20), &control).isNull());
    }
};

QTEST_MAIN(TestBoxReduction)
#include "test_boxreduction.moc"
