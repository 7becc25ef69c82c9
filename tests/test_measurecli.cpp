// lumivant-measure: the same numbers as the window, reports, failures and exit status.
#include "imagefiles.h"
#include "lcmshandles.h"
#include "modaldialogs.h"
#include "profiles.h"
#include "testenvironment.h"
#include "tifffiles.h"
#include "windowtestaccess.h"

#include <QtTest>
#include <QtWidgets>

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run measure(const QStringList &arguments)
{
    QProcess program;
    program.start(QCoreApplication::applicationDirPath() + "/lumivant-measure", arguments);
    program.waitForFinished(60000);
    return {program.exitCode(), program.readAllStandardOutput(), program.readAllStandardError()};
}

QList<QJsonObject> jsonLines(const QByteArray &out)
{
    QList<QJsonObject> objects;
    for (const QByteArray &line : out.split('\n'))
        if (!line.isEmpty())
            objects << QJsonDocument::fromJson(line).object();
    return objects;
}

QString twoDecimals(const QJsonValue &value)
{
    return QString::number(value.toDouble(), 'f', 2);
}

// What the window shows of the image it holds, in the form lumivant-measure reports it.
QJsonObject shownByWindow(CVCImageWindow &window)
{
    WindowTestAccess access(window);
    Ui::ImageWindow &ui = access.ui();
    QJsonObject shown;
    shown["profile"] = ui.embeddedCB->isChecked() ? ui.embeddedL->text() : ui.loadedImageL->text();
    shown["L"] = ui.lL->text();
    shown["a"] = ui.aL->text();
    shown["b"] = ui.bL->text();
    ui.lchRB->click();
    shown["C"] = ui.aL->text();
    shown["h"] = ui.bL->text();
    ui.labRB->click();
    const QRegularExpression rgb(R"(rgb\((\d+), (\d+), (\d+)\))");
    const QRegularExpressionMatch swatch = rgb.match(ui.colorL->styleSheet());
    shown["srgb"] = QJsonArray({swatch.captured(1).toInt(), swatch.captured(2).toInt(), swatch.captured(3).toInt()});
    shown["inks"] = access.attributes().value("NumberOfInks") == 4
                        ? QJsonArray({ui.cL->text(), ui.mL->text(), ui.yL->text(), ui.kL->text(), ui.tL->text()})
                        : QJsonArray();
    const QRegularExpression counted(R"(([\d ]+) pixels measured)");
    shown["pixels"] = counted.match(ui.mainStatusBar->currentMessage()).captured(1).remove(' ');
    return shown;
}

QJsonObject reportedByMeasurer(const QJsonObject &line)
{
    QJsonObject reported;
    reported["profile"] = line["profile"].toString();
    for (const char *key : {"L", "a", "b", "C", "h"})
        reported[key] = twoDecimals(line[key]);
    reported["srgb"] = line["srgb"];
    QJsonArray inks;
    const QJsonObject lineInks = line["inks"].toObject();
    // The window rounds the coverage to whole per cent.
    for (const char *ink : {"C", "M", "Y", "K", "Total"})
        if (lineInks.contains(ink))
            inks << QString::number(lineInks[ink].toDouble(), 'f', 0) + "%";
    reported["inks"] = inks;
    reported["pixels"] = QString::number(line["pixels"].toDouble(), 'f', 0);
    return reported;
}

} // namespace

class TestMeasureCli : public QObject
{
    Q_OBJECT

    QString dir;
    QStringList images;

private slots:
    void initTestCase()
    {
        setUpTestEnvironment();
        dir = testDirectory() + "/cli";
        QDir().mkpath(dir);
        ProfileHandle wide(makeWideRgbProfile("Wide Studio RGB"));
        images << writeJpeg(dir, "plain.jpg", solidImage(40, 30, QColor(180, 90, 30)))
               << writeJpeg(dir, "grey.jpg", solidImage(20, 20, QColor(90, 90, 90), QImage::Format_Grayscale8))
               << writeJpeg(dir, "wide.jpg", solidImage(16, 8, QColor(20, 40, 250)), QString(), profileBytes(wide.get()))
               << writeJpeg(dir, "duotone.jpg", solidImage(8, 8, QColor(120, 60, 60)), "NumberOfInks:2");
        TiffPage separation;
        separation.width = 7;
        separation.extraSample = EXTRASAMPLE_UNASSALPHA;
        separation.sample = [](int x, int y, int s) { return s == 4 ? (x == 3 ? 0 : 255) : (x * 37 + y * 11 + s * 53) % 256; };
        QVERIFY(writeTiff(dir + "/separation.tif", {separation}));
        TiffPage deep = separation;
        deep.bits = 16;
        deep.sample = [](int x, int y, int s) { return s == 4 ? 65535 : (x * 9000 + y * 700 + s * 13000) % 65536; };
        QVERIFY(writeTiff(dir + "/deep.tif", {deep}));
        TiffPage masked;
        masked.photometric = PHOTOMETRIC_RGB;
        masked.colourSamples = 3;
        masked.sample = [](int, int, int s) { return s == 1 ? 255 : 0; };
        QVERIFY(writeTiff(dir + "/masked.tif", {masked}));
        images << dir + "/separation.tif" << dir + "/deep.tif" << dir + "/masked.tif";
    }

    void windowAndMeasurerAgree()
    {
        const Run run = measure(QStringList({"--format", "json"}) + images);
        QCOMPARE(run.exitCode, 0);
        const QList<QJsonObject> lines = jsonLines(run.out);
        QCOMPARE(lines.size(), images.size());
        for (int i = 0; i < images.size(); ++i) {
            CVCImageWindow window;
            window.openImageFile(images[i]);
            QCOMPARE(lines[i]["file"].toString(), images[i]);
            QVERIFY(lines[i]["ok"].toBool());
            QCOMPARE(reportedByMeasurer(lines[i]), shownByWindow(window));
            const QImage &picture = WindowTestAccess(window).sourceImage();
            QCOMPARE(lines[i]["width"].toInt(), picture.width());
            QCOMPARE(lines[i]["height"].toInt(), picture.height());
            QCOMPARE(lines[i]["numberOfInks"].toInt(), WindowTestAccess(window).attributes().value("NumberOfInks"));
        }
    }

    // Another intent and a profile loaded by hand, as the user sets them in the window.
    void intentAndProfileAsInTheWindow()
    {
        const QString profile = saveProfile(makeWideRgbProfile("Hand Loaded"), dir, "hand.icc");
        const QString image = images.first();
        CVCImageWindow window;
        WindowTestAccess access(window);
        window.openImageFile(image);
        access.ui().renderingCB->setCurrentIndex(0);
        access.ui().embeddedCB->click();
        QCOMPARE(clickThroughDialog(access.ui().loadImageICCPB, profile), QStringList());
        const QJsonObject shown = shownByWindow(window);

        const Run run = measure({"--format", "json", "--intent", "perceptual", "--profile", profile, image});
        QCOMPARE(run.exitCode, 0);
        QJsonObject reported = reportedByMeasurer(jsonLines(run.out).first());
        // The status bar tells the pixels of the load, not of the rebuild.
        reported["pixels"] = shown["pixels"];
        QCOMPARE(reported, shown);
        QCOMPARE(jsonLines(run.out).first()["profile"].toString(), QString("Hand Loaded"));
    }

    void failuresDoNotStopTheBatch()
    {
        QFile text(dir + "/notes.jpg");
        text.open(QIODevice::WriteOnly);
        text.write("not a picture");
        text.close();
        const QString cmyk = saveProfile(openDefaultCmyk(), dir, "press.icc");
        Run run = measure({"--format", "json", text.fileName(), images.first()});
        QCOMPARE(run.exitCode, 1);
        QList<QJsonObject> lines = jsonLines(run.out);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].keys(), QStringList({"error", "file", "ok"}));
        QCOMPARE(lines[0]["error"].toString(),
                 QString("The file could not be read as an image: Unsupported image format."));
        QVERIFY(lines[1]["ok"].toBool());

        run = measure({"--format", "json", "--profile", cmyk, images.first(), dir + "/separation.tif"});
        QCOMPARE(run.exitCode, 1);
        lines = jsonLines(run.out);
        QCOMPARE(lines[0]["error"].toString(),
                 QString("The ICC profile does not match: The profile's colour space is CMYK; this image needs RGB."));
        QVERIFY(lines[1]["ok"].toBool());
        char description[256] = {};
        ProfileHandle press(openDefaultCmyk());
        cmsGetProfileInfoASCII(press.get(), cmsInfoDescription, "en", "US", description, sizeof description);
        QCOMPARE(lines[1]["profile"].toString(), QString::fromLatin1(description));
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("no file") << QStringList() << 2;
        QTest::newRow("unknown format") << QStringList({"--format", "xml", "a.jpg"}) << 2;
        QTest::newRow("unknown intent") << QStringList({"--intent", "colorimetric", "a.jpg"}) << 2;
        QTest::newRow("unknown option") << QStringList({"--bogus", "a.jpg"}) << 2;
        QTest::newRow("help") << QStringList({"--help"}) << 0;
        QTest::newRow("version") << QStringList({"--version"}) << 0;
    }

    void usage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        const Run run = measure(arguments);
        QCOMPARE(run.exitCode, exitCode);
        if (exitCode == 2)
            QVERIFY(run.err.contains("Usage:"));
        if (arguments == QStringList({"--version"}))
            QCOMPARE(run.out, ("lumivant-measure " + QCoreApplication::applicationVersion() + "\n").toUtf8());
    }

    void textAndCsv()
    {
        const QStringList two = {images.first(), dir + "/separation.tif"};
        const Run csv = measure(QStringList({"--format", "csv"}) + two);
        const QList<QByteArray> rows = csv.out.trimmed().split('\n');
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0], QByteArray("file,ok,error,width,height,numberOfInks,profile,pixels,L,a,b,C,h,inkC,inkM,"
                                     "inkY,inkK,inkTotal,srgbR,srgbG,srgbB"));
        QCOMPARE(rows[1].count(','), rows[0].count(','));
        QCOMPARE(rows[2].count(','), rows[0].count(','));

        const Run lab = measure(two);
        const Run lch = measure(QStringList({"--lch"}) + two);
        const QList<QByteArray> table = lab.out.split('\n');
        QVERIFY(table[0].contains("a*") && lch.out.split('\n')[0].contains("h*"));
        // Aligned: each value column ends at the same place on every row.
        const int end = table[0].indexOf("b*") + 2;
        QCOMPARE(table[1].at(end - 1) != ' ', true);
        QCOMPARE(table[2].at(end - 1) != ' ', true);
        QCOMPARE(table[1].at(end), ' ');
    }
};

QTEST_MAIN(TestMeasureCli)
#include "test_measurecli.moc"
