// Choosing the image's profile by hand, and the destination panel.
#include "imagefiles.h"
#include "jpegfiles.h"
#include "lcmshandles.h"
#include "modaldialogs.h"
#include "profilefit.h"
#include "profiles.h"
#include "testenvironment.h"
#include "tifffiles.h"
#include "windowtestaccess.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// A profile header with the given colour space and PCS; enough for the fit check.
cmsHPROFILE makeBareProfile(cmsColorSpaceSignature space, cmsColorSpaceSignature pcs, const char *description)
{
    cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
    cmsSetDeviceClass(profile, cmsSigInputClass);
    cmsSetColorSpace(profile, space);
    cmsSetPCS(profile, pcs);
    setDescription(profile, description);
    return profile;
}

QStringList shownValues(WindowTestAccess &access)
{
    return {access.ui().lL->text(), access.ui().aL->text(), access.ui().bL->text()};
}

// The values Little CMS gives for the mean colour of the decoded image through
// profile, relative colorimetric.
QStringList expectedValues(cmsHPROFILE profile, const QImage &image)
{
    ProfileHandle lab(cmsCreateLab2Profile(nullptr));
    TransformHandle toLab(cmsCreateTransform(profile, TYPE_RGB_DBL, lab.get(), TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0));
    double rgb[3] = {0, 0, 0};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            rgb[0] += qRed(pixel);
            rgb[1] += qGreen(pixel);
            rgb[2] += qBlue(pixel);
        }
    for (double &channel : rgb)
        channel /= 255.0 * image.width() * image.height();
    cmsCIELab result;
    cmsDoTransform(toLab.get(), rgb, &result, 1);
    QStringList values{QString::number(result.L, 'f', 2), QString::number(result.a, 'f', 2),
                       QString::number(result.b, 'f', 2)};
    for (int i = 1; i < 3; ++i)
        if (values[i] == "-0.00")
            values[i] = "0.00";
    return values;
}

} // namespace

class TestProfiles : public QObject
{
    Q_OBJECT

    QString dir;
    QString wideRgbPath;
    QString otherRgbPath;
    QString greyPath;

    QStringList load(CVCImageWindow &window, const QString &description = QString(), QColor colour = QColor(180, 60, 40))
    {
        const QString path = writeJpeg(dir, "image.jpg", solidImage(6, 4, colour), description);
        return clickThroughDialog(WindowTestAccess(window).ui().loadImagePB, path);
    }

private slots:
    void initTestCase()
    {
        setUpTestEnvironment();
        dir = testDirectory() + "/profiles";
        QDir().mkpath(dir);
        wideRgbPath = saveProfile(makeWideRgbProfile("Wide Studio RGB"), dir, "wide.icc");
        cmsHPROFILE other = makeWideRgbProfile("");
        cmsToneCurve *gamma = cmsBuildGamma(nullptr, 1.8);
        cmsWriteTag(other, cmsSigRedTRCTag, gamma);
        cmsWriteTag(other, cmsSigGreenTRCTag, gamma);
        cmsWriteTag(other, cmsSigBlueTRCTag, gamma);
        cmsFreeToneCurve(gamma);
        otherRgbPath = saveProfile(other, dir, "press.icc");
        greyPath = saveProfile(makeGrayProfile("Grey Gamma 2.2"), dir, "grey.icm");
    }

    void init() { QSettings().clear(); }

    void fitCheck_data()
    {
        QTest::addColumn<QString>("attributes");
        QTest::addColumn<uint>("space");
        QTest::addColumn<uint>("pcs");
        QTest::addColumn<bool>("accepted");
        const uint rgb = cmsSigRgbData, cmyk = cmsSigCmykData, gray = cmsSigGrayData, lab = cmsSigLabData,
                   xyz = cmsSigXYZData;
        QTest::newRow("2: RGB on XYZ") << "Photometric:2" << rgb << xyz << true;
        QTest::newRow("2: RGB on Lab") << "Photometric:2" << rgb << lab << true;
        QTest::newRow("2: RGB on RGB") << "Photometric:2" << rgb << rgb << false;
        QTest::newRow("2: CMYK") << "Photometric:2" << cmyk << lab << false;
        QTest::newRow("5: CMYK") << "Photometric:5" << cmyk << lab << true;
        QTest::newRow("5: RGB") << "Photometric:5" << rgb << xyz << false;
        QTest::newRow("1: grey") << "Photometric:1" << gray << xyz << true;
        QTest::newRow("1: RGB") << "Photometric:1" << rgb << xyz << false;
        QTest::newRow("3: Lab") << "Photometric:3" << lab << lab << true;
        QTest::newRow("3: RGB") << "Photometric:3" << rgb << xyz << false;
        QTest::newRow("none, 3 inks: RGB") << "" << rgb << xyz << true;
        QTest::newRow("none, 3 inks: Lab") << "" << lab << lab << false;
        QTest::newRow("none, 1 ink: grey") << "NumberOfInks:1" << gray << xyz << true;
        QTest::newRow("none, 1 ink: RGB") << "NumberOfInks:1" << rgb << xyz << false;
    }

    // The rule on colour space and connection space decides first; a profile
    // that passes it must then also convert the image's channels (a bare
    // header, or a space that does not match the three channels of these
    // JPEGs, does not). Only a working RGB profile on XYZ does both here.
    void fitCheck()
    {
        QFETCH(QString, attributes);
        QFETCH(uint, space);
        QFETCH(uint, pcs);
        QFETCH(bool, accepted);
        const bool working = space == cmsSigRgbData && pcs == cmsSigXYZData;
        const QString path = saveProfile(working ? makeWideRgbProfile("Candidate")
                                                 : makeBareProfile(cmsColorSpaceSignature(space),
                                                                   cmsColorSpaceSignature(pcs), "Candidate"),
                                         dir, "candidate.icc");
        // The image's attributes as loading leaves them: a JPEG without a count has three channels.
        ImageAttributes imageAttributes = parseAttributes(attributes);
        if (!imageAttributes.contains("NumberOfInks"))
            imageAttributes.insert("NumberOfInks", 3);
        QCOMPARE(profileMismatch(imageAttributes, ColourProfile::fromFile(path)).isEmpty(), accepted);

        const bool taken = accepted && working;
        CVCImageWindow window;
        WindowTestAccess access(window);
        load(window, attributes);
        access.ui().embeddedCB->click();
        const QStringList warnings = clickThroughDialog(access.ui().loadImageICCPB, path);
        QCOMPARE(warnings, taken ? QStringList() : QStringList({"The ICC Profile does not match!"}));
        QCOMPARE(access.ui().loadedImageL->text(), taken ? QString("Candidate") : access.ui().embeddedL->text());
        QCOMPARE(access.imageProfile() != nullptr, taken);
    }

    // An ordinary JPEG states no photometric code, yet takes an RGB profile by hand.
    void handLoadedProfileMeasuresJpeg()
    {
        const QColor colour(180, 60, 40);
        CVCImageWindow window;
        WindowTestAccess access(window);
        QCOMPARE(load(window, QString(), colour), QStringList());
        const QStringList srgbValues = shownValues(access);
        access.ui().embeddedCB->click();
        QVERIFY(access.ui().embeddedF->isHidden() && !access.ui().loadImageF->isHidden());
        QCOMPARE(clickThroughDialog(access.ui().loadImageICCPB, wideRgbPath), QStringList());
        QCOMPARE(access.ui().loadedImageL->text(), QString("Wide Studio RGB"));
        ProfileHandle wide(makeWideRgbProfile("reference"));
        QCOMPARE(shownValues(access), expectedValues(wide.get(), access.sourceImage()));
        QVERIFY(shownValues(access) != srgbValues);

        access.ui().embeddedCB->click();
        QVERIFY(!access.ui().embeddedF->isHidden() && access.ui().loadImageF->isHidden());
        QCOMPARE(shownValues(access), srgbValues);
    }

    // A separation that carries an RGB profile is still a separation: the
    // profile gives way to the default one, and the status bar says so.
    void embeddedProfileForOtherChannelsGivesWay()
    {
        ProfileHandle wide(makeWideRgbProfile("Wide Studio RGB"));
        TiffPage inks;
        inks.sample = [](int x, int, int s) { return s == 0 ? 255 : s == 3 ? 40 * x : 0; };
        QVERIFY(writeTiff(dir + "/plain.tif", {inks}));
        inks.icc = profileBytes(wide.get());
        QVERIFY(writeTiff(dir + "/rgb-profile.tif", {inks}));

        CVCImageWindow window;
        WindowTestAccess access(window);
        QCOMPARE(clickThroughDialog(access.ui().loadImagePB, dir + "/plain.tif"), QStringList());
        const QStringList plainValues = shownValues(access);
        QCOMPARE(clickThroughDialog(access.ui().loadImagePB, dir + "/rgb-profile.tif"), QStringList());
        QCOMPARE(access.ui().imageL->text(), QString("rgb-profile.tif"));
        QCOMPARE(access.ui().embeddedL->text(), QString("none (Default CMYK assigned)"));
        QCOMPARE(shownValues(access), plainValues);
        QVERIFY2(access.ui().mainStatusBar->currentMessage().startsWith(
                     "The embedded profile is for RGB, but the image has four inks: Default CMYK is used  "),
                 qPrintable(access.ui().mainStatusBar->currentMessage()));

        // A profile loaded by hand must still fit.
        access.ui().embeddedCB->click();
        QCOMPARE(clickThroughDialog(access.ui().loadImageICCPB, wideRgbPath),
                 QStringList({"The ICC Profile does not match!"}));
    }

    // A JPEG states no inks, so its profile tells them; but a grey profile
    // over a colour picture gives way to sRGB. A grey picture keeps a grey or
    // an RGB profile.
    void jpegGreyProfileOfColourPictureGivesWay()
    {
        ProfileHandle grey(makeGrayProfile("Studio Grey"));
        ProfileHandle wide(makeWideRgbProfile("Wide Studio RGB"));
        const QImage colour = solidImage(16, 8, QColor(200, 60, 30));
        CVCImageWindow window;
        WindowTestAccess access(window);
        QCOMPARE(clickThroughDialog(access.ui().loadImagePB, writeJpeg(dir, "plain.jpg", colour)), QStringList());
        const QStringList plainValues = shownValues(access);
        const QString greyOverColour =
            writeJpeg(dir, "grey-over-colour.jpg", colour, QString(), profileBytes(grey.get()));
        QCOMPARE(clickThroughDialog(access.ui().loadImagePB, greyOverColour), QStringList());
        QCOMPARE(access.ui().embeddedL->text(), QString("none (sRGB assigned)"));
        QCOMPARE(shownValues(access), plainValues);
        const QString message = access.ui().mainStatusBar->currentMessage();
        QVERIFY2(message.startsWith(
                     "The embedded profile is for Gray, but the image has three channels (RGB): sRGB is used  "),
                 qPrintable(message));

        // Qt writes no profile into a grey JPEG: the marker goes in by hand.
        QFile greyFile(writeJpeg(dir, "grey.jpg", solidImage(16, 8, Qt::gray, QImage::Format_Grayscale8)));
        QVERIFY(greyFile.open(QIODevice::ReadOnly));
        const QByteArray greyJpeg = greyFile.readAll();
        const QList<QPair<QByteArray, QString>> fitting = {{profileBytes(grey.get()), "Studio Grey"},
                                                           {profileBytes(wide.get()), "Wide Studio RGB"}};
        for (const auto &profile : fitting) {
            const QByteArray chunk = QByteArray("ICC_PROFILE\0\1\1", 14) + profile.first;
            const QString path =
                writeFile(dir + "/" + profile.second + ".jpg", withSegmentAfterStart(greyJpeg, '\xe2', chunk));
            QCOMPARE(clickThroughDialog(access.ui().loadImagePB, path), QStringList());
            QCOMPARE(access.ui().embeddedL->text(), profile.second);
        }
    }

    void profileWithoutDescriptionShowsFileName()
    {
        CVCImageWindow window;
        WindowTestAccess access(window);
        load(window);
        access.ui().embeddedCB->click();
        QCOMPARE(clickThroughDialog(access.ui().loadImageICCPB, otherRgbPath), QStringList());
        QCOMPARE(access.ui().loadedImageL->text(), QString("press.icc"));
    }

    // A refused candidate neither replaces nor disturbs the profile in force.
    void refusedProfileChangesNothing()
    {
        const QColor colour(40, 160, 200);
        CVCImageWindow window;
        WindowTestAccess access(window);
        load(window, QString(), colour);
        access.ui().embeddedCB->click();
        clickThroughDialog(access.ui().loadImageICCPB, wideRgbPath);
        const QStringList wideValues = shownValues(access);
        QCOMPARE(clickThroughDialog(access.ui().loadImageICCPB, greyPath), QStringList({"The ICC Profile does not match!"}));
        QCOMPARE(access.ui().loadedImageL->text(), QString("Wide Studio RGB"));
        access.ui().embeddedCB->click();
        access.ui().embeddedCB->click();
        QCOMPARE(shownValues(access), wideValues);
        QCOMPARE(access.ui().loadedImageL->text(), QString("Wide Studio RGB"));
    }

    void refusedFirstProfileLeavesMeasurementAlone()
    {
        CVCImageWindow window;
        WindowTestAccess access(window);
        load(window);
        const QStringList srgbValues = shownValues(access);
        access.ui().embeddedCB->click();
        QCOMPARE(shownValues(access), srgbValues);
        QCOMPARE(clickThroughDialog(access.ui().loadImageICCPB, greyPath), QStringList({"The ICC Profile does not match!"}));
        QVERIFY(!access.imageProfile());
        access.ui().embeddedCB->click();
        access.ui().embeddedCB->click();
        // The display falls back to the image's own profile; the measurement fails quietly.
        QCOMPARE(access.pixelCount(), 24);
        QVERIFY(!access.displayImage().isNull());
        QCOMPARE(shownValues(access), srgbValues);
    }

    void unreadableProfileIsLoggedAndKeepsLabels()
    {
        QFile junk(dir + "/junk.icc");
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a profile");
        junk.close();
        CVCImageWindow window;
        WindowTestAccess access(window);
        load(window);
        access.ui().embeddedCB->click();
        clickThroughDialog(access.ui().loadImageICCPB, wideRgbPath);
        QTest::ignoreMessage(QtDebugMsg, "No SRC profile!");
        QCOMPARE(clickThroughDialog(access.ui().loadImageICCPB, junk.fileName()), QStringList());
        QCOMPARE(access.ui().loadedImageL->text(), QString("Wide Studio RGB"));
        QVERIFY(access.imageProfile());
        QCOMPARE(access.lastProfileDir(), dir);
    }

    void profileDialogStartsInRememberedDirectory()
    {
        FileDialogSeen seen;
        {
            CVCImageWindow window;
            WindowTestAccess access(window);
            load(window);
            access.ui().embeddedCB->click();
            clickThroughDialog(access.ui().loadImageICCPB, QString(), &seen);
            QCOMPARE(seen.filters, QStringList({"ICC profile (*.icc *.icm)"}));
            QCOMPARE(seen.caption, QString("Open"));
            QCOMPARE(clickThroughDialog(access.ui().loadImageICCPB, greyPath), QStringList({"The ICC Profile does not match!"}));
        }
        CVCImageWindow next;
        WindowTestAccess access(next);
        load(next);
        access.ui().embeddedCB->click();
        clickThroughDialog(access.ui().loadImageICCPB, QString(), &seen);
        QCOMPARE(seen.directory, dir);
    }

    void separationShowsAndHidesInks()
    {
        CVCImageWindow window;
        WindowTestAccess access(window);
        Ui::ImageWindow &ui = access.ui();
        ui.separationCB->setChecked(false);
        ui.outputCB->setChecked(true);
        ui.separationCB->click();
        QVERIFY(!ui.cmykF->isHidden());
        QVERIFY(ui.outputCB->isHidden() && !ui.outputCB->isChecked());
        QVERIFY(ui.loadDestinationF->isHidden());
        ui.separationCB->click();
        QVERIFY(ui.cmykF->isHidden());
    }

    void outputConversionAndDestination()
    {
        CVCImageWindow window;
        WindowTestAccess access(window);
        Ui::ImageWindow &ui = access.ui();
        load(window);
        const QStringList values = shownValues(access);
        const QString swatch = ui.colorL->styleSheet();
        ui.destinationF->show();
        ui.outputCB->show();
        ui.loadDestinationF->show();

        ui.separationCB->setChecked(true);
        ui.outputCB->click();
        QVERIFY(ui.outputCB->isChecked() && !ui.separationCB->isChecked());

        QCOMPARE(clickThroughDialog(ui.loadDestinationICCPB, otherRgbPath), QStringList());
        QCOMPARE(ui.loadedDestinationL->text(), QString("press.icc"));
        QCOMPARE(clickThroughDialog(ui.loadDestinationICCPB, greyPath), QStringList());
        QCOMPARE(ui.loadedDestinationL->text(), QString("Grey Gamma 2.2"));
        QTest::ignoreMessage(QtDebugMsg, "No SRC profile!");
        clickThroughDialog(ui.loadDestinationICCPB, dir + "/junk.icc");
        QCOMPARE(ui.loadedDestinationL->text(), QString("Grey Gamma 2.2"));
        QCOMPARE(shownValues(access), values);
        QCOMPARE(ui.colorL->styleSheet(), swatch);

        ui.outputCB->click();
        QVERIFY(ui.outputCB->isHidden() && !ui.outputCB->isChecked());
        QVERIFY(ui.loadDestinationF->isHidden());
        QVERIFY(ui.separationCB->isChecked());
        QVERIFY(ui.cmykF->isHidden());
    }
};

QTEST_MAIN(TestProfiles)
#include "test_profiles.moc"
