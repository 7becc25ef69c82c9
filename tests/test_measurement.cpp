// The measuring core on its own: attribute text, reading and refusals,
// profile choice, and the average with its swatch, to the digit.
#include "averagecolour.h"
#include "failuretext.h"
#include "imagefiles.h"
#include "measuringsession.h"
#include "profilefit.h"
#include "profiles.h"
#include "resourcedir.h"
#include "testenvironment.h"
#include "tifffiles.h"

#include <QtTest>

#include <thread>

namespace {

using Attributes = QMap<QString, int>;

// A load as lumivant-measure makes it: the counts only, on this thread.
SessionResult load(MeasuringSession &session, const QString &path)
{
    LoadJob job = session.loadJob(path);
    job.run();
    return session.finishLoad(std::move(job));
}

} // namespace

Q_DECLARE_METATYPE(Attributes)

class TestMeasurement : public QObject
{
    Q_OBJECT

    QString dir;

private slots:
    void initTestCase()
    {
        setUpTestEnvironment();
        dir = testDirectory() + "/core";
        QDir().mkpath(dir);
    }

    void attributeRules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Attributes>("attributes");
        QTest::newRow("both keys") << "NumberOfInks:4;Photometric:5" << Attributes{{"NumberOfInks", 4}, {"Photometric", 5}};
        QTest::newRow("empty parts skipped") << ";;NumberOfInks:2;;" << Attributes{{"NumberOfInks", 2}};
        QTest::newRow("empty pieces skipped") << "NumberOfInks::2" << Attributes{{"NumberOfInks", 2}};
        QTest::newRow("key without value") << "NumberOfInks:" << Attributes{};
        QTest::newRow("value without key") << ":4" << Attributes{};
        QTest::newRow("three pieces") << "NumberOfInks:1:2" << Attributes{};
        QTest::newRow("not a number") << "NumberOfInks:x" << Attributes{{"NumberOfInks", 0}};
        QTest::newRow("negative") << "NumberOfInks:-1" << Attributes{{"NumberOfInks", -1}};
        QTest::newRow("too large for int") << "NumberOfInks:99999999999" << Attributes{{"NumberOfInks", 0}};
        QTest::newRow("later wins") << "NumberOfInks:3;NumberOfInks:1" << Attributes{{"NumberOfInks", 1}};
        QTest::newRow("no trimming") << " NumberOfInks:3" << Attributes{{" NumberOfInks", 3}};
        QTest::newRow("case counts") << "numberofinks:3" << Attributes{{"numberofinks", 3}};
        QTest::newRow("producer text kept") << "NumberOfInks:4;Photometric:5;Job:17"
                                            << Attributes{{"NumberOfInks", 4}, {"Photometric", 5}, {"Job", 17}};
    }

    void attributeRules()
    {
        QFETCH(QString, text);
        QFETCH(Attributes, attributes);
        QCOMPARE(parseAttributes(text), attributes);
    }

    void expectedColourSpaces_data()
    {
        QTest::addColumn<Attributes>("attributes");
        QTest::addColumn<uint>("space");
        QTest::newRow("photometric 1") << Attributes{{"Photometric", 1}, {"NumberOfInks", 3}} << uint(cmsSigGrayData);
        QTest::newRow("photometric 2") << Attributes{{"Photometric", 2}} << uint(cmsSigRgbData);
        QTest::newRow("photometric 5") << Attributes{{"Photometric", 5}} << uint(cmsSigCmykData);
        QTest::newRow("photometric 0") << Attributes{{"Photometric", 0}, {"NumberOfInks", 1}} << uint(cmsSigLabData);
        QTest::newRow("photometric 3") << Attributes{{"Photometric", 3}} << uint(cmsSigLabData);
        QTest::newRow("one channel") << Attributes{{"NumberOfInks", 1}} << uint(cmsSigGrayData);
        QTest::newRow("three channels") << Attributes{{"NumberOfInks", 3}} << uint(cmsSigRgbData);
        QTest::newRow("four channels") << Attributes{{"NumberOfInks", 4}} << uint(cmsSigCmykData);
        QTest::newRow("two channels") << Attributes{{"NumberOfInks", 2}} << uint(cmsSigLabData);
    }

    void expectedColourSpaces()
    {
        QFETCH(Attributes, attributes);
        QFETCH(uint, space);
        QCOMPARE(uint(expectedColourSpace(attributes)), space);
    }

    // How far a load got decides what the session replaces.
    void loadsReplaceAsFarAsTheyGot()
    {
        MeasuringSession session(getResourceDir());
        QVERIFY(!load(session, writeJpeg(dir, "first.jpg", solidImage(4, 2, Qt::red))).failure);
        QCOMPARE(session.image().size.width(), 4);

        const SessionResult none = load(session, writeFile(dir + "/text.jpg", "not a picture"));
        QCOMPARE(none.failure.kind, FailureKind::NotAnImage);
        QCOMPARE(none.failure.reason, QString("Unsupported image format"));
        QCOMPARE(session.image().size.width(), 4);

        const SessionResult refused = load(session, writeJpeg(dir, "five.jpg", solidImage(5, 2, Qt::red), "NumberOfInks:5"));
        QCOMPARE(refused.failure.kind, FailureKind::Unsupported);
        QCOMPARE(session.image().size.width(), 5);
        QCOMPARE(session.numberOfInks(), 5);

        const SessionResult cut = load(session, writeFile(dir + "/cut.jpg", QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11)));
        QCOMPARE(cut.failure.kind, FailureKind::Undecodable);
        QVERIFY(session.image().picture.isNull());
    }

    void defaultProfilesByChannelCount_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("text");
        QTest::addColumn<uint>("space");
        QTest::newRow("RGB") << "" << "none (sRGB assigned)" << uint(cmsSigRgbData);
        QTest::newRow("grey") << "NumberOfInks:1" << "none (Default Gray assigned)" << uint(cmsSigGrayData);
        QTest::newRow("two colours") << "NumberOfInks:2" << "none (Default 2Color assigned)" << uint(cmsSigMCH2Data);
        QTest::newRow("no channel") << "NumberOfInks:0" << "none (Default 0Color assigned)" << 0u;
    }

    void defaultProfilesByChannelCount()
    {
        QFETCH(QString, description);
        QFETCH(QString, text);
        QFETCH(uint, space);
        const LoadOutcome outcome =
            loadImageFile(writeJpeg(dir, "plain.jpg", solidImage(2, 2, Qt::gray), description), getResourceDir());
        QVERIFY(!outcome.failure);
        QCOMPARE(outcome.image.sourceProfileText, text);
        QCOMPARE(uint(outcome.image.sourceProfile.colourSpace()), space);
    }

    void handLoadedProfileReplacesOnlyWhenItFits()
    {
        MeasuringSession session(getResourceDir());
        load(session, writeJpeg(dir, "rgb.jpg", solidImage(2, 2, Qt::red)));
        const QString wide = saveProfile(makeWideRgbProfile("Wide"), dir, "wide.icc");
        QVERIFY(!session.apply(session.useHandLoadedProfile(wide)).failure);
        QCOMPARE(session.handLoadedProfile().description(), QString("Wide"));

        const Failure unreadable = session.apply(session.useHandLoadedProfile(writeFile(dir + "/junk.icc", "junk"))).failure;
        QCOMPARE(unreadable.kind, FailureKind::ProfileUnreadable);
        const Failure unfit =
            session.apply(session.useHandLoadedProfile(saveProfile(makeGrayProfile("Grey"), dir, "grey.icc"))).failure;
        QCOMPARE(unfit.kind, FailureKind::ProfileMismatch);
        QCOMPARE(unfit.reason, QString("The profile's colour space is Gray; this image needs RGB."));
        QCOMPARE(session.handLoadedProfile().description(), QString("Wide"));

        // A new image forgets the profile loaded for the old one.
        load(session, writeJpeg(dir, "next.jpg", solidImage(2, 2, Qt::blue)));
        QVERIFY(session.handLoadedProfile().isNull());
    }

    // The sRGB primaries through Little CMS, as the panel shows them.
    void primariesToTheDigit_data()
    {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QStringList>("lab");
        QTest::addColumn<QStringList>("lch");
        QTest::newRow("red") << QColor(255, 0, 0) << QStringList({"54.29", "80.81", "69.89"})
                             << QStringList({"54.29", "106.84", "40.85"});
        QTest::newRow("green") << QColor(0, 255, 0) << QStringList({"87.82", "-79.27", "80.99"})
                               << QStringList({"87.82", "113.33", "134.39"});
        QTest::newRow("blue") << QColor(0, 0, 255) << QStringList({"29.57", "68.29", "-112.03"})
                              << QStringList({"29.57", "131.20", "301.36"});
    }

    void primariesToTheDigit()
    {
        QFETCH(QColor, colour);
        QFETCH(QStringList, lab);
        QFETCH(QStringList, lch);
        const ColourProfile srgb = ColourProfile::srgb();
        PixelTotals totals;
        totals.pixelCount = 2;
        totals.channelSums = {2.0 * colour.red(), 2.0 * colour.green(), 2.0 * colour.blue(), 0.0};
        const std::optional<AverageColour> average = averageColour(totals, 3, srgb.handle(), INTENT_RELATIVE_COLORIMETRIC);
        QVERIFY(average);
        const auto texts = [](const std::array<float, 3> &values) {
            return QStringList({QString::number(double(values[0]), 'f', 2), QString::number(double(values[1]), 'f', 2),
                                QString::number(double(values[2]), 'f', 2)});
        };
        QCOMPARE(texts(average->lab), lab);
        QCOMPARE(texts(average->lch), lch);
    }

    // Levels are cut toward zero, then held to 0..255 at both ends.
    void swatchLevelsAtBothEnds_data()
    {
        QTest::addColumn<float>("L");
        QTest::addColumn<float>("a");
        QTest::addColumn<float>("b");
        QTest::addColumn<QVector<int>>("levels");
        // sRGB -0.567, -0.150, 1.132
        QTest::newRow("far out of gamut") << 30.0f << 80.0f << -130.0f << QVector<int>({0, 0, 255});
        // sRGB 0.99994, 0.00064, -0.00005
        QTest::newRow("just inside and just below") << 54.29f << 80.8f << 69.89f << QVector<int>({254, 0, 0});
        // sRGB 0.884, 1.024, 0.088
        QTest::newRow("just above") << 97.0f << -30.0f << 90.0f << QVector<int>({225, 255, 22});
    }

    void swatchLevelsAtBothEnds()
    {
        QFETCH(float, L);
        QFETCH(float, a);
        QFETCH(float, b);
        QFETCH(QVector<int>, levels);
        const ColourProfile srgb = ColourProfile::srgb();
        const std::optional<std::array<int, 3>> swatch = swatchLevels({L, a, b}, INTENT_RELATIVE_COLORIMETRIC, srgb.handle());
        QVERIFY(swatch);
        QCOMPARE(QVector<int>({(*swatch)[0], (*swatch)[1], (*swatch)[2]}), levels);
    }

    void noLabTransformGivesNothing()
    {
        const ColourProfile grey = ColourProfile::adopt(makeGrayProfile("Grey"));
        PixelTotals totals;
        QVERIFY(!averageColour(totals, 3, grey.handle(), INTENT_RELATIVE_COLORIMETRIC));
        QVERIFY(!averageColour(totals, 0, grey.handle(), INTENT_RELATIVE_COLORIMETRIC));
        QVERIFY(!averageColour(totals, 1, nullptr, INTENT_RELATIVE_COLORIMETRIC));
        QVERIFY(averageColour(totals, 1, grey.handle(), INTENT_RELATIVE_COLORIMETRIC));

        // Black converts; red overflows into no colour at all.
        const ColourProfile overflowing = ColourProfile::adopt(makeOverflowingRgbProfile("Overflowing"));
        QVERIFY(averageColour(totals, 3, overflowing.handle(), INTENT_RELATIVE_COLORIMETRIC));
        totals.pixelCount = 1;
        totals.channelSums = {255.0, 0.0, 0.0, 0.0};
        QVERIFY(!averageColour(totals, 3, overflowing.handle(), INTENT_RELATIVE_COLORIMETRIC));
    }

    // A new image starts from its own profile and the relative intent; until
    // then the choices stay and every one is measured through.
    void choicesStayUntilANewImage()
    {
        MeasuringSession session(getResourceDir());
        const SessionResult loaded = load(session, writeJpeg(dir, "choices.jpg", solidImage(2, 2, Qt::red)));
        QCOMPARE(loaded.pixelsCounted, 4);
        QVERIFY(loaded.average);

        const SessionResult withoutProfile = session.apply(session.useEmbeddedProfile(false));
        QCOMPARE(withoutProfile.failure.kind, FailureKind::NoTransform);
        QVERIFY(!withoutProfile.average);

        const QString wide = saveProfile(makeWideRgbProfile("Wide"), dir, "choices.icc");
        const SessionResult relative = session.apply(session.useHandLoadedProfile(wide));
        QVERIFY(relative.average);
        QCOMPARE(session.profileText(), QString("Wide"));
        const SessionResult perceptual = session.setIntent(INTENT_PERCEPTUAL);
        QVERIFY(perceptual.average);
        QVERIFY(!session.usesEmbeddedProfile());
        QCOMPARE(session.renderingIntent(), INTENT_PERCEPTUAL);

        QVERIFY(!load(session, writeJpeg(dir, "next.jpg", solidImage(2, 2, Qt::red))).failure);
        QVERIFY(session.usesEmbeddedProfile());
        QCOMPARE(session.renderingIntent(), INTENT_RELATIVE_COLORIMETRIC);
        QCOMPARE(session.profileText(), QString("none (sRGB assigned)"));
    }

    // Jobs own what they touch: they run on another thread after their
    // session has gone on. A load or a profile choice never taken in changes nothing.
    void jobsOutliveWhatTheSessionHolds()
    {
        MeasuringSession session(getResourceDir());
        load(session, writeJpeg(dir, "held.jpg", solidImage(3, 2, Qt::red)));
        LoadJob dropped = session.loadJob(writeJpeg(dir, "dropped.jpg", solidImage(5, 5, Qt::blue)));
        std::thread([&dropped] { dropped.run(); }).join();
        QCOMPARE(session.image().size.width(), 3);

        const QString wide = saveProfile(makeWideRgbProfile("Wide"), dir, "outlived.icc");
        const ProfileChoice notTaken = session.useHandLoadedProfile(wide, ColourProfile::srgb());
        load(session, writeJpeg(dir, "replaced.jpg", solidImage(4, 4, Qt::green)));
        QVERIFY(!session.handLoadedProfile());

        MeasuringSession other(getResourceDir());
        const SessionResult taken = other.finishLoad(std::move(dropped));
        QCOMPARE(taken.pixelsCounted, 25);
        QCOMPARE(other.image().size.width(), 5);
    }

    // A value holding %1 or %2 is put in as it is, never read as a place for the next one.
    void failureSentencesTakeValuesInOnePass_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("unreadable profile") << int(FailureKind::ProfileUnreadable) << "no %1 here"
                                            << "The profile /p/100%2.icc could not be read: no %1 here.";
        QTest::newRow("not an image") << int(FailureKind::NotAnImage) << "50%1 off"
                                      << "The file could not be read as an image: 50%1 off.";
        QTest::newRow("no transform") << int(FailureKind::NoTransform) << "profile \"%2\""
                                      << "The average colour cannot be measured: profile \"%2\"";
    }

    void failureSentencesTakeValuesInOnePass()
    {
        QFETCH(int, kind);
        QFETCH(QString, reason);
        QFETCH(QString, sentence);
        QCOMPARE(FailureText::sentence({FailureKind(kind), reason}, "/p/100%2.icc"), sentence);
    }
};

QTEST_MAIN(TestMeasurement)
#include "test_measurement.moc"
