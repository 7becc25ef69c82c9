// Patches: the whole picture's rules on a part of it, the spread figures on
// known values, ΔE2000 on the published test pairs, the patch-set file and
// the table's texts and CGATS export read back.
#include "colourdifference.h"
#include "colourtally.h"
#include "imagefiles.h"
#include "lcmshandles.h"
#include "measuringsession.h"
#include "patchmeasurement.h"
#include "patchsetfile.h"
#include "parallel.h"
#include "patchtable.h"
#include "resourcedir.h"
#include "testenvironment.h"
#include "tifffiles.h"
#include "valuetexts.h"

#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

// A load as lumivant-measure makes it (counts only), or as the window makes it (rendered for a monitor).
SessionResult load(MeasuringSession &session, const QString &path, bool forMonitor)
{
    LoadJob job = session.loadJob(path, forMonitor ? std::optional<ColourProfile>(ColourProfile::srgb())
                                                   : std::nullopt);
    job.run();
    return session.finishLoad(std::move(job));
}

Patch patchOver(const QRect &rect, PatchShape shape = PatchShape::Rect)
{
    Patch patch;
    patch.name = "P";
    patch.rect = rect;
    patch.shape = shape;
    return patch;
}

// A varied picture: every pixel a little different, so sums and spreads mean something.
int wave(int x, int y, int s, int range)
{
    return (x * 37 + y * 91 + s * 53 + x * y * 7) % range;
}

// The count of pixels of picture whose centres lie inside or on the ellipse inscribed in rect.
int centresInside(const QRect &rect, const QRect &picture)
{
    const double cx = rect.x() + rect.width() / 2.0, cy = rect.y() + rect.height() / 2.0;
    const double rx = rect.width() / 2.0, ry = rect.height() / 2.0;
    int count = 0;
    for (int y = picture.top(); y <= picture.bottom(); ++y)
        for (int x = picture.left(); x <= picture.right(); ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            count += dx * dx * ry * ry + dy * dy * rx * rx <= rx * rx * ry * ry ? 1 : 0;
        }
    return count;
}

} // namespace

class TestPatches : public QObject
{
    Q_OBJECT

    QString dir;

    QString writePage(const QString &name, TiffPage page)
    {
        const QString path = dir + "/" + name;
        return writeTiff(path, {page}) ? path : QString();
    }

    QString variedRgb()
    {
        TiffPage page;
        page.width = 61;
        page.height = 47;
        page.photometric = PHOTOMETRIC_RGB;
        page.colourSamples = 3;
        page.sample = [](int x, int y, int s) { return wave(x, y, s, 256); };
        return writePage("varied.tif", page);
    }

    QString fourInks()
    {
        TiffPage page;
        page.width = 10;
        page.height = 10;
        // Ink i of pixel k is k + i levels: every total a different, known sum.
        page.sample = [](int x, int y, int s) { return y * 10 + x + s; };
        return writePage("inks.tif", page);
    }

private slots:
    void initTestCase()
    {
        setUpTestEnvironment();
        dir = testDirectory() + "/patches";
        QDir().mkpath(dir);
    }

    void wholePictureToTheDigit_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("forMonitor");
        TiffPage rgb16;
        rgb16.width = 23;
        rgb16.height = 19;
        rgb16.photometric = PHOTOMETRIC_RGB;
        rgb16.colourSamples = 3;
        rgb16.bits = 16;
        rgb16.sample = [](int x, int y, int s) { return wave(x, y, s, 65536) * 13 % 65536; };
        TiffPage grey;
        grey.width = 17;
        grey.height = 13;
        grey.photometric = PHOTOMETRIC_MINISBLACK;
        grey.colourSamples = 1;
        grey.sample = [](int x, int y, int) { return wave(x, y, 0, 256); };
        // Transparent pixels and all-full inks are left out of the average.
        TiffPage cmykAlpha;
        cmykAlpha.width = 21;
        cmykAlpha.height = 11;
        cmykAlpha.extraSample = EXTRASAMPLE_UNASSALPHA;
        cmykAlpha.sample = [](int x, int y, int s) {
            if (s == 4)
                return x % 5 == 0 ? 0 : 255;
            return y == 3 ? 255 : wave(x, y, s, 256);
        };
        // The green key of RGB images is left out.
        TiffPage keyed;
        keyed.width = 29;
        keyed.height = 31;
        keyed.photometric = PHOTOMETRIC_RGB;
        keyed.colourSamples = 3;
        keyed.sample = [](int x, int y, int s) { return (x + y) % 4 == 0 ? (s == 1 ? 255 : 0) : wave(x, y, s, 256); };
        for (const bool forMonitor : {false, true}) {
            const QString how = forMonitor ? ", rendered" : ", counted";
            QTest::newRow(qPrintable("RGB 8-bit" + how)) << variedRgb() << forMonitor;
            QTest::newRow(qPrintable("RGB 16-bit" + how)) << writePage("rgb16.tif", rgb16) << forMonitor;
            QTest::newRow(qPrintable("grey" + how)) << writePage("grey.tif", grey) << forMonitor;
            QTest::newRow(qPrintable("CMYK with alpha" + how)) << writePage("cmyka.tif", cmykAlpha) << forMonitor;
            QTest::newRow(qPrintable("green key" + how)) << writePage("keyed.tif", keyed) << forMonitor;
        }
    }

    void wholePictureToTheDigit()
    {
        QFETCH(QString, file);
        QFETCH(bool, forMonitor);
        MeasuringSession session(getResourceDir());
        const SessionResult whole = load(session, file, forMonitor);
        QVERIFY(whole.average);
        const PatchMeasurement patch = measurePatch(session, patchOver(QRect(QPoint(), session.image().size)));
        QVERIFY(patch.average);
        QCOMPARE(patch.pixels, whole.pixelsCounted);
        const qint64 area = qint64(session.image().size.width()) * session.image().size.height();
        if (file.contains("cmyka") || file.contains("keyed"))
            QVERIFY(patch.pixels < area);
        QCOMPARE(patch.average->channels, whole.average->channels);
        QCOMPARE(patch.average->lab, whole.average->lab);
        QCOMPARE(colourValueTexts(*patch.average, false), colourValueTexts(*whole.average, false));
        QCOMPARE(colourValueTexts(*patch.average, true), colourValueTexts(*whole.average, true));
        QCOMPARE(patch.region, QRect(QPoint(), session.image().size));
        // The row that takes the picture's counts equals the one that counts again.
        const PatchMeasurement counted = measurePatch(*session.image().rows, patchOver(patch.region),
                                                      session.measuringProfile(), session.renderingIntent());
        QCOMPARE(counted.pixels, patch.pixels);
        QCOMPARE(counted.average->lab, patch.average->lab);
        QCOMPARE(counted.spread.sdLab, patch.spread.sdLab);
        QCOMPARE(counted.spread.dE00P95, patch.spread.dE00P95);
        QCOMPARE(counted.spread.tacMax, patch.spread.tacMax);
        QCOMPARE(counted.spread.tacP99, patch.spread.tacP99);
    }

    void onePixelIsThatPixelsConversion()
    {
        MeasuringSession session(getResourceDir());
        // Loaded for a monitor, as the window loads: its samples are kept, and single pixels can be read.
        load(session, fourInks(), true);
        session.setIntent(INTENT_PERCEPTUAL);
        for (const QPoint point : {QPoint(0, 0), QPoint(7, 3), QPoint(9, 9)}) {
            const PatchMeasurement patch = measurePatch(session, patchOver(QRect(point, QSize(1, 1))));
            const std::optional<PixelReading> pixel = session.readPixel(point.x(), point.y());
            QVERIFY(patch.average && pixel && pixel->lab);
            QCOMPARE(patch.pixels, qint64(1));
            QCOMPARE(patch.average->lab, *pixel->lab);
            QCOMPARE(patch.spread.sdLab, (std::array<double, 3>{}));
            QCOMPARE(patch.spread.dE00P95, 0.0);
        }
    }

    void ellipseCountsPixelsWhoseCentresFallInside_data()
    {
        QTest::addColumn<QRect>("rect");
        QTest::newRow("circle") << QRect(5, 5, 20, 20);
        QTest::newRow("odd sizes") << QRect(3, 2, 7, 5);
        QTest::newRow("tall and thin") << QRect(10, 0, 2, 40);
        QTest::newRow("one pixel") << QRect(4, 4, 1, 1);
        QTest::newRow("one row") << QRect(0, 9, 33, 1);
        QTest::newRow("wide") << QRect(1, 20, 59, 13);
        QTest::newRow("cut by the picture") << QRect(-13, 30, 40, 31);
        QTest::newRow("larger than the picture") << QRect(-20, -20, 101, 87);
    }

    void ellipseCountsPixelsWhoseCentresFallInside()
    {
        QFETCH(QRect, rect);
        const QImage picture = solidImage(61, 47, QColor(90, 120, 30));
        const PixelSources sources{picture, {}, {}, 3};
        const ColourProfile srgb = ColourProfile::srgb();
        const PatchMeasurement patch =
            measurePatch(sources, patchOver(rect, PatchShape::Ellipse), srgb.handle(), INTENT_RELATIVE_COLORIMETRIC);
        QCOMPARE(patch.pixels, qint64(centresInside(rect, picture.rect())));
        QCOMPARE(patch.region, rect & picture.rect());
    }

    void nothingCounted()
    {
        const QImage keyed = solidImage(8, 8, QColor(0, 255, 0));
        const ColourProfile srgb = ColourProfile::srgb();
        const PixelSources sources{keyed, {}, {}, 3};
        const PatchMeasurement masked =
            measurePatch(sources, patchOver(QRect(1, 1, 4, 4)), srgb.handle(), INTENT_RELATIVE_COLORIMETRIC);
        const PatchMeasurement outside =
            measurePatch(sources, patchOver(QRect(20, 1, 4, 4)), srgb.handle(), INTENT_RELATIVE_COLORIMETRIC);
        QCOMPARE(masked.pixels, qint64(0));
        QVERIFY(!masked.average && !outside.average);
        QVERIFY(outside.region.isEmpty());
        const PatchTable table({{patchOver(QRect(1, 1, 4, 4)), masked}}, 3, false);
        QCOMPARE(table.cells().value(0).mid(0, 7), QStringList({"P", "1", "1", "4", "4", "0", "no pixel counted"}));
    }

    // Half the pixels at one grey, half at another: L* spreads by half the
    // distance, a* and b* not at all; the 95th percentile of the colour
    // differences is the larger of the two.
    void spreadOfTwoGreys()
    {
        TiffPage greys;
        greys.width = 10;
        greys.height = 10;
        greys.photometric = PHOTOMETRIC_MINISBLACK;
        greys.colourSamples = 1;
        greys.sample = [](int, int y, int) { return y < 5 ? 50 : 200; };
        MeasuringSession session(getResourceDir());
        load(session, writePage("greys.tif", greys), true);
        const PatchMeasurement patch = measurePatch(session, patchOver(QRect(0, 0, 10, 10)));
        QVERIFY(patch.average);
        const std::array<float, 3> dark = *session.readPixel(0, 0)->lab, light = *session.readPixel(0, 9)->lab;
        QVERIFY(std::abs(patch.spread.sdLab[0] - double(light[0] - dark[0]) / 2.0) < 1e-4);
        QVERIFY(patch.spread.sdLab[1] < 1e-4 && patch.spread.sdLab[2] < 1e-4);
        const double toDark = deltaE2000(dark, patch.average->lab), toLight = deltaE2000(light, patch.average->lab);
        QVERIFY(std::abs(toDark - toLight) > 0.5);
        QCOMPARE(patch.spread.dE00Mean, (toDark + toLight) / 2.0);
        QCOMPARE(patch.spread.dE00P95, std::max(toDark, toLight));
        QVERIFY(!patch.spread.sampled);
    }

    // The totals of the test separation grow pixel by pixel: the largest is the
    // last pixel's, the 99th percentile of a hundred pixels the one before.
    void inkTotals()
    {
        MeasuringSession session(getResourceDir());
        load(session, fourInks(), true);
        const PatchMeasurement patch = measurePatch(session, patchOver(QRect(0, 0, 10, 10)));
        const auto total = [&](int x, int y) {
            const PixelValues values = session.readPixel(x, y)->values;
            return double(values.channel[0]) + double(values.channel[1]) + double(values.channel[2]) +
                   double(values.channel[3]);
        };
        QCOMPARE(patch.spread.tacMax, total(9, 9));
        QCOMPARE(patch.spread.tacP99, total(8, 9));
        const PatchTable table({{patchOver(QRect(0, 0, 10, 10)), patch}}, 4, false);
        QCOMPARE(table.cells()[0].mid(table.headers().indexOf("TAC max")),
                 QStringList({QString::number(total(9, 9), 'f', 2), QString::number(total(8, 9), 'f', 2)}));
    }

    void largePatchesAreSampled()
    {
        const QImage picture = solidImage(1001, 1000, QColor(10, 200, 90));
        const ColourProfile srgb = ColourProfile::srgb();
        const PatchMeasurement patch = measurePatch({picture, {}, {}, 3}, patchOver(picture.rect()), srgb.handle(),
                                                    INTENT_RELATIVE_COLORIMETRIC);
        QCOMPARE(patch.pixels, qint64(1001000));
        QVERIFY(patch.spread.sampled);
        QVERIFY(patch.spread.dE00P95 < 1e-3);
    }

    // A patch is measured on all cores; every figure is the same on one, two or three.
    void sameOnAnyNumberOfThreads()
    {
        TiffPage page;
        page.width = 2000;
        page.height = 1000;
        page.extraSample = EXTRASAMPLE_UNASSALPHA;
        // Rows counted unevenly, so that no block starts on a whole step of the sample.
        page.sample = [](int x, int y, int s) { return s == 4 ? ((x + y * y) % 9 == 0 ? 0 : 255) : wave(x, y, s, 256); };
        MeasuringSession session(getResourceDir());
        QVERIFY(load(session, writePage("many.tif", page), false).average);
        for (const Patch &patch :
             {patchOver(QRect(0, 0, 2000, 1000)), patchOver(QRect(-50, 7, 1100, 990), PatchShape::Ellipse)}) {
            QVector<PatchMeasurement> measured;
            for (int threads : {1, 2, 3}) {
                setWorkerThreads(threads);
                measured << measurePatch(session, patch);
            }
            setWorkerThreads(0);
            QCOMPARE(measured[0].spread.sampled, patch.shape == PatchShape::Rect);
            for (const PatchMeasurement &other : measured.mid(1)) {
                QCOMPARE(other.pixels, measured[0].pixels);
                QCOMPARE(other.average->lab, measured[0].average->lab);
                QCOMPARE(other.spread.sdLab, measured[0].spread.sdLab);
                QCOMPARE(other.spread.dE00Mean, measured[0].spread.dE00Mean);
                QCOMPARE(other.spread.dE00P95, measured[0].spread.dE00P95);
                QCOMPARE(other.spread.tacMax, measured[0].spread.tacMax);
                QCOMPARE(other.spread.tacP99, measured[0].spread.tacP99);
            }
        }
    }

    // Two million counted pixels give every second one to the sample: here
    // every pixel of the odd columns, so the sample is all one grey.
    void sampleIsEvenlySpaced()
    {
        QImage picture(2000, 1000, QImage::Format_RGB32);
        for (int x = 0; x < picture.width(); ++x)
            for (int y = 0; y < picture.height(); ++y)
                picture.setPixel(x, y, x % 2 ? qRgb(200, 200, 200) : qRgb(40, 40, 40));
        const ColourProfile srgb = ColourProfile::srgb();
        const auto measure = [&](const QRect &rect) {
            return measurePatch({picture, {}, {}, 3}, patchOver(rect), srgb.handle(), INTENT_RELATIVE_COLORIMETRIC);
        };
        const PatchMeasurement patch = measure(picture.rect());
        QVERIFY(patch.spread.sampled);
        QCOMPARE(patch.spread.sdLab, (std::array<double, 3>{0.0, 0.0, 0.0}));
        const std::array<float, 3> odd = measure(QRect(1, 0, 1, 1)).average->lab;
        QCOMPARE(float(patch.spread.dE00Mean), float(deltaE2000(odd, patch.average->lab)));
    }

    // The tally gives every distinct colour once, with how many pixels have it.
    void tallyCountsEachColourOnce()
    {
        ColourTally tally;
        const quint16 pixels[][4] = {{5, 6, 7, 8},     {0, 0, 0, 0}, {5, 6, 7, 8},
                                     {65535, 0, 1, 2}, {5, 6, 7, 8}, {0, 0, 0, 0}};
        for (const auto &levels : pixels)
            tally.add(levels);
        std::vector<std::pair<std::array<quint16, 4>, qint64>> counted;
        for (const ColourTally::Colour &colour : tally.colours())
            counted.push_back(
                {{colour.levels[0], colour.levels[1], colour.levels[2], colour.levels[3]}, colour.pixels});
        std::sort(counted.begin(), counted.end());
        const decltype(counted) expected{{{0, 0, 0, 0}, 2}, {{5, 6, 7, 8}, 3}, {{65535, 0, 1, 2}, 1}};
        QVERIFY(counted == expected);
        QVERIFY(ColourTally().colours().empty());
    }

    // Sharma, Wu and Dalal's pairs, through the function the spread figures use.
    void deltaE2000OnPublishedPairs()
    {
        QFile file(LUMIVANT_TEST_DATA "/ciede2000-test-pairs.csv");
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        int pairs = 0;
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QList<QByteArray> fields = line.trimmed().split(',');
            if (line.startsWith('#') || fields.size() != 8 || fields[0] == "pair")
                continue;
            const cmsCIELab first{fields[1].toDouble(), fields[2].toDouble(), fields[3].toDouble()};
            const cmsCIELab second{fields[4].toDouble(), fields[5].toDouble(), fields[6].toDouble()};
            QCOMPARE(QString::number(deltaE2000(first, second), 'f', 4), QString(fields[7]));
            QCOMPARE(QString::number(deltaE2000(second, first), 'f', 4), QString(fields[7]));
            ++pairs;
        }
        QCOMPARE(pairs, 34);
    }

    void patchSetErrorsNameFileAndLine_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("error");
        const QByteArray good = "    {\"name\": \"a\", \"x\": 1, \"y\": 2, \"width\": 3, \"height\": 4},\n";
        QTest::newRow("not JSON") << QByteArray("{\"patches\": [\n  {\"x\": 1,\n  \"y\" 2}\n]}")
                                  << "set.json, line 3: missing name separator";
        QTest::newRow("no list") << QByteArray("{\"patch\": []}") << "set.json, line 1: the file holds no \"patches\" list";
        const QString wholeWidth = "\"width\" must be a whole number of pixels from 1 to 1000000";
        QTest::newRow("zero width") << "{\"patches\": [\n" + good + "    {\"x\": 0, \"y\": 0, \"width\": 0, \"height\": 4}\n]}"
                                    << "set.json, line 3: " + wholeWidth;
        QTest::newRow("fraction") << "{\"patches\": [\n" + good + good +
                                         "    {\n\"x\": 0, \"y\": 0, \"width\": 2.5, \"height\": 4}]}"
                                  << "set.json, line 4: " + wholeWidth;
        QTest::newRow("absurd") << "{\"patches\": [" + good + "{\"x\": 0, \"y\": 0, \"width\": 1e7, \"height\": 4}]}"
                                << "set.json, line 2: " + wholeWidth;
        QTest::newRow("negative position")
            << QByteArray("{\"patches\": [\n\n{\"x\": -4, \"y\": 0, \"width\": 2, \"height\": 4}]}")
            << "set.json, line 3: \"x\" must be a whole number of pixels from 0 to 1000000";
        QTest::newRow("text for a number")
            << QByteArray("{\"patches\": [{\"x\": 0, \"y\": \"7\", \"width\": 2, \"height\": 4}]}")
            << "set.json, line 1: \"y\" must be a whole number of pixels from 0 to 1000000";
        QTest::newRow("unknown shape")
            << QByteArray("{\"patches\": [\"x\",\n {\"shape\": \"star\", \"x\": 0, \"y\": 0, \"width\": 2, \"height\": 4}]}")
            << "set.json, line 1: a patch must be an object";
        QTest::newRow("shape after a text")
            << QByteArray("{\"name\": \"[{\", \"patches\": [\n {\"shape\": \"star\", \"x\": 0, \"y\": 0, \"width\": 2, \"height\": 4}]}")
            << "set.json, line 2: \"shape\" must be \"rect\" or \"ellipse\"";
    }

    void patchSetErrorsNameFileAndLine()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, error);
        const QString path = writeFile(dir + "/set.json", json);
        const PatchSetReading reading = PatchSetFile::read(path);
        QCOMPARE(reading.error, dir + "/" + error);
        QVERIFY(reading.patches.isEmpty());
    }

    void patchSetWrittenAndReadBackAndFitted()
    {
        QVector<Patch> patches = {patchOver(QRect(0, 0, 5, 5)), patchOver(QRect(8, 2, 6, 3), PatchShape::Ellipse),
                                  patchOver(QRect(40, 40, 2, 2))};
        patches[1].name = "Skin, \"warm\"";
        QString error;
        QVERIFY(PatchSetFile::write(dir + "/written.json", patches, &error));
        const PatchSetReading reading = PatchSetFile::read(dir + "/written.json");
        QVERIFY2(reading.ok(), qPrintable(reading.error));
        QCOMPARE(reading.patches.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(reading.patches[i].name, patches[i].name);
            QCOMPARE(reading.patches[i].rect, patches[i].rect);
            QCOMPARE(reading.patches[i].shape, patches[i].shape);
        }
        const FittedPatches fitted = PatchSetFile::fitTo(reading.patches, QRect(0, 0, 12, 10));
        QCOMPARE(fitted.patches[0].clipped, false);
        QCOMPARE(fitted.patches[1].clipped, true);
        QCOMPARE(fitted.patches[1].rect, patches[1].rect);
        QCOMPARE(fitted.patches[2].clipped, true);
        QCOMPARE(fitted.warnings,
                 QStringList({"The patch \"Skin, \"warm\"\" reaches beyond the picture; only its part inside is measured.",
                              "The patch \"P\" lies outside the picture; nothing of it is measured."}));
    }

    // The table's texts are the panel's; the CGATS file Little CMS writes
    // loads back with the same names and numbers.
    void tableExportsReadBack()
    {
        MeasuringSession session(getResourceDir());
        load(session, fourInks(), false);
        QVector<PatchRow> rows;
        for (const Patch &patch : {patchOver(QRect(0, 0, 10, 10)), patchOver(QRect(2, 2, 6, 5), PatchShape::Ellipse),
                                   patchOver(QRect(50, 50, 3, 3))}) {
            rows << PatchRow{patch, measurePatch(session, patch)};
            rows.last().patch.name = QString("Patch \"%1\" of cyan").arg(rows.size());
        }
        const PatchTable table(rows, 4, true);
        const QVector<QStringList> cells = table.cells();
        QCOMPARE(table.headers().mid(6, 3), QStringList({"L*", "C*", "h*"}));
        QCOMPARE(cells[1].mid(6, 3), colourValueTexts(*rows[1].measurement.average, true));
        QCOMPARE(cells[2][6], QString("no pixel counted"));
        QCOMPARE(table.tabSeparated().split('\n')[2].split('\t'), cells[1]);

        const QString path = dir + "/table.cgats";
        QString error;
        QVERIFY2(table.writeCgats(path, &error), qPrintable(error));
        const It8Handle it8(cmsIT8LoadFromFile(nullptr, QFile::encodeName(path).constData()));
        QVERIFY(it8);
        QCOMPARE(cmsIT8GetPropertyDbl(it8.get(), "NUMBER_OF_SETS"), 2.0);
        const QStringList lab = colourValueTexts(*rows[1].measurement.average, false);
        const char *id = "2";
        QCOMPARE(QString(cmsIT8GetData(it8.get(), id, "SAMPLE_NAME")), QString("Patch '2' of cyan"));
        const char *labFields[] = {"LAB_L", "LAB_A", "LAB_B"};
        for (int i = 0; i < 3; ++i)
            QCOMPARE(cmsIT8GetDataDbl(it8.get(), id, labFields[i]), lab[i].toDouble());
        const QStringList inks = cells[1].mid(9, 4);
        const char *inkFields[] = {"CMYK_C", "CMYK_M", "CMYK_Y", "CMYK_K"};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(cmsIT8GetDataDbl(it8.get(), id, inkFields[i]), inks[i].toDouble());

        // Names Little CMS would write bare and read back as something else; an empty one reads as a space.
        QVector<PatchRow> named;
        const QStringList names = {"1A", "", "END_DATA", "#x", "1e5", "12", "tab\there"};
        for (const QString &name : names)
            named << PatchRow{{name, PatchShape::Rect, QRect(0, 0, 2, 2), false}, rows[0].measurement};
        const QByteArray written = PatchTable(named, 4, false).cgats();
        const It8Handle awkward(cmsIT8LoadFromMem(nullptr, written.constData(), cmsUInt32Number(written.size())));
        QVERIFY2(awkward, written.constData());
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(QString(cmsIT8GetData(awkward.get(), QByteArray::number(i + 1), "SAMPLE_NAME")),
                     names[i].isEmpty() ? QString(" ") : QString(names[i]).replace('\t', ' '));

        const QJsonArray json = QJsonDocument::fromJson(table.json()).object()["patches"].toArray();
        QCOMPARE(json.size(), 3);
        QCOMPARE(json[1].toObject()["L"].toDouble(), lab[0].toDouble());
        QCOMPARE(json[2].toObject()["error"].toString(), QString("no pixel counted"));
        QCOMPARE(table.csv().count('\n'), 4);
    }
};

QTEST_MAIN(TestPatches)
#include "test_patches.moc"
