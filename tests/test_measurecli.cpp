// lumivant-measure: known numbers, reports read back as data, notes, awkward
// names, refusals, the memory budget's variable, failures and exit status.
#include "bytekeepingcodec.h"
#include "imagefiles.h"
#include "lcmshandles.h"
#include "measuringsession.h"
#include "modaldialogs.h"
#include "patchmeasurement.h"
#include "profiles.h"
#include "resourcedir.h"
#include "testenvironment.h"
#include "tifffiles.h"
#include "valuetexts.h"
#include "windowtestaccess.h"

#include <QtTest>
#include <QtWidgets>

#include <sys/stat.h>

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// The timeout only catches a hang; a measurement takes well under a second.
Run measure(const QStringList &arguments,
            const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QCoreApplication::applicationDirPath() + "/lumivant-measure", arguments);
    if (!program.waitForFinished(20000)) {
        program.kill();
        program.waitForFinished();
        return {-1, QByteArray(), "hung"};
    }
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

// Records of an RFC 4180 text: fields split at commas outside quotes, records
// at line ends outside quotes (a lone CR ends one too, as spreadsheet readers
// take it), "" inside quotes for a quote.
QVector<QStringList> csvRecords(const QByteArray &out)
{
    const QString text = QString::fromUtf8(out);
    QVector<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
            field += c;
            ++i;
        } else if (c == '"' && (quoted || field.isEmpty())) {
            quoted = !quoted;
        } else if (!quoted && (c == ',' || c == '\n' || c == '\r')) {
            record << field;
            field.clear();
            if (c != ',') {
                records << record;
                record.clear();
            }
        } else {
            field += c;
        }
    }
    return records;
}

// The CSV records as field name to text, after checking each has the header's width.
QList<QMap<QString, QString>> csvRows(const QByteArray &out)
{
    const QVector<QStringList> records = csvRecords(out);
    QList<QMap<QString, QString>> rows;
    for (int r = 1; r < records.size(); ++r) {
        if (records[r].size() != records[0].size())
            return {};
        QMap<QString, QString> row;
        for (int i = 0; i < records[0].size(); ++i)
            row[records[0][i]] = records[r][i];
        rows << row;
    }
    return rows;
}

// A TIFF of one colour, uncompressed, so its samples reach the pass exactly.
QString writeSolidTiff(const QString &path, const QVector<int> &samples)
{
    TiffPage page;
    page.width = 5;
    page.height = 4;
    page.colourSamples = samples.size();
    page.photometric = samples.size() == 4 ? PHOTOMETRIC_SEPARATED : PHOTOMETRIC_RGB;
    page.sample = [samples](int, int, int s) { return samples[s]; };
    return writeTiff(path, {page}) ? path : QString();
}

} // namespace

class TestMeasureCli : public QObject
{
    Q_OBJECT

    QString dir;
    QString red;
    QString blue;
    QString grey;
    QString inks;
    QString green;
    QString damaged;

private slots:
    void initTestCase()
    {
        setUpTestEnvironment();
        // As lumivant-measure reads its arguments, so names not in UTF-8 reach it byte for byte.
        ByteKeepingCodec::useForLocaleWhenUtf8();
        dir = testDirectory() + "/cli";
        QDir().mkpath(dir);
        red = writeSolidTiff(dir + "/red.tif", {255, 0, 0});
        blue = writeSolidTiff(dir + "/blue.tif", {0, 0, 255});
        grey = writeSolidTiff(dir + "/grey.tif", {119, 119, 119});
        // 40 %, 20 %, 0 % and 10.2 % ink.
        inks = writeSolidTiff(dir + "/inks.tif", {102, 51, 0, 26});
        green = writeSolidTiff(dir + "/green.tif", {0, 255, 0});
        damaged = writeJpeg(dir, "damaged.jpg", solidImage(4, 4, Qt::red), QString(), QByteArray(600, 'x'));
        QVERIFY(!red.isEmpty() && !blue.isEmpty() && !grey.isEmpty() && !inks.isEmpty() && !green.isEmpty());
    }

    // Values worked out once with Little CMS's own sRGB and the press profile
    // the build installs as the default CMYK, relative colorimetric, to D50 L*a*b*.
    void knownValues_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("red") << red
                             << QStringList({"pixels=20", "L=54.29", "a=80.81", "b=69.89", "C=106.84", "h=40.85",
                                             "profile=none (sRGB assigned)", "inkC=", "numberOfInks=3"});
        QTest::newRow("blue") << blue
                              << QStringList({"L=29.57", "a=68.29", "b=-112.03", "C=131.20", "h=301.36"});
        // a* and b* of a grey come out a hair below zero; they never show as -0.00.
        QTest::newRow("grey") << grey << QStringList({"L=50.03", "a=0.00", "b=0.00", "C=0.00"});
        QTest::newRow("four inks")
            << inks
            << QStringList({"pixels=20", "numberOfInks=4", "L=67.98", "a=-3.54", "b=-22.16", "C=22.45", "h=260.92",
                            "inkC=40.00", "inkM=20.00", "inkY=0.00", "inkK=10.20", "inkTotal=70.20",
                            "profile=none (Default CMYK assigned)"});
        QTest::newRow("all masked") << green << QStringList({"ok=true", "pixels=0", "numberOfInks=3"});
    }

    void knownValues()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, fields);
        const Run csv = measure({"--format", "csv", file});
        QCOMPARE(csv.exitCode, 0);
        const QList<QMap<QString, QString>> rows = csvRows(csv.out);
        QCOMPARE(rows.size(), 1);
        const QJsonObject json = jsonLines(measure({"--format", "json", file}).out).value(0);
        const QString table = QString::fromUtf8(measure({file}).out);
        for (const QString &field : fields) {
            const QString name = field.section('=', 0, 0);
            const QString text = field.section('=', 1);
            QCOMPARE(name + "=" + rows[0].value(name), field);
            if (name.startsWith("ink") && !text.isEmpty())
                QCOMPARE(json["inks"].toObject()[name.mid(3)].toDouble(), text.toDouble());
            else if (name != "ok" && name != "profile" && !text.isEmpty())
                QCOMPARE(json[name].toDouble(), text.toDouble());
            if (QStringList({"L", "a", "b"}).contains(name))
                QVERIFY2(table.contains(" " + text + " "), qPrintable(table));
        }
    }

    // Another intent and a profile loaded by hand, as the user sets them in the window.
    void intentAndProfileAsInTheWindow()
    {
        const QString profile = saveProfile(makeWideRgbProfile("Hand Loaded"), dir, "hand.icc");
        const QString image = writeJpeg(dir, "plain.jpg", solidImage(40, 30, QColor(180, 90, 30)));
        CVCImageWindow window;
        WindowTestAccess access(window);
        window.openImageFile(image);
        access.ui().renderingCB->setCurrentIndex(0);
        access.ui().embeddedCB->click();
        QCOMPARE(clickThroughDialog(access.ui().loadImageICCPB, profile), QStringList());

        const Run run = measure({"--format", "json", "--intent", "perceptual", "--profile", profile, image});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject line = jsonLines(run.out).first();
        QCOMPARE(line["profile"].toString(), QString("Hand Loaded"));
        QCOMPARE(access.ui().loadedImageL->text(), QString("Hand Loaded"));
        const QList<QLabel *> labels = {access.ui().lL, access.ui().aL, access.ui().bL};
        const char *keys[] = {"L", "a", "b"};
        for (int i = 0; i < 3; ++i)
            QCOMPARE(QString::number(line[keys[i]].toDouble(), 'f', 2), labels[i]->text());
    }

    void failuresDoNotStopTheBatch()
    {
        const QString text = writeFile(dir + "/words.jpg", "not a picture");
        const QString cmyk = saveProfile(openDefaultCmyk(), dir, "press.icc");
        Run run = measure({"--format", "json", text, red});
        QCOMPARE(run.exitCode, 1);
        QList<QJsonObject> lines = jsonLines(run.out);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].keys(), QStringList({"error", "file", "notes", "ok"}));
        QCOMPARE(lines[0]["error"].toString(),
                 QString("The file could not be read as an image: Unsupported image format."));
        QVERIFY(lines[1]["ok"].toBool());

        run = measure({"--format", "json", "--profile", cmyk, red, inks});
        QCOMPARE(run.exitCode, 1);
        lines = jsonLines(run.out);
        QCOMPARE(lines[0]["error"].toString(),
                 QString("The ICC profile does not match: The profile's colour space is CMYK; this image needs RGB."));
        QVERIFY(lines[1]["ok"].toBool());
        char description[256] = {};
        ProfileHandle press(openDefaultCmyk());
        cmsGetProfileInfoASCII(press.get(), cmsInfoDescription, "en", "US", description, sizeof description);
        QCOMPARE(lines[1]["profile"].toString(), QString::fromLatin1(description));

        run = measure({"--format", "json", "--profile", dir + "/absent.icc", red});
        QCOMPARE(jsonLines(run.out).value(0)["error"].toString(),
                 "The profile " + dir + "/absent.icc could not be read: there is no such file.");
    }

    // Opening a FIFO waits for a writer, so it must be refused before it is opened.
    void refusesWhatIsNotARegularFile_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        const QString fifo = dir + "/waiting.tif";
        QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QTest::newRow("FIFO image") << QStringList({fifo})
                                    << "The file could not be read as an image: it is not a regular file (a FIFO).";
        QTest::newRow("folder image") << QStringList({dir})
                                      << "The file could not be read as an image: it is not a regular file (a folder).";
        QTest::newRow("FIFO profile")
            << QStringList({"--profile", fifo, red})
            << "The profile " + fifo + " could not be read: it is not a regular file (a FIFO).";
    }

    void refusesWhatIsNotARegularFile()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        const Run run = measure(QStringList({"--format", "json"}) + arguments);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(jsonLines(run.out).value(0)["error"].toString(), error);
    }

    void notes()
    {
        const QString damagedNote = "The profile embedded in the file is damaged; the default profile is used instead.";
        const QString maskedNote = "No pixel counted: every pixel is masked";
        const QStringList files = {damaged, green, red};
        const QList<QJsonObject> lines = jsonLines(measure(QStringList({"--format", "json"}) + files).out);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0]["notes"].toArray(), QJsonArray({damagedNote}));
        QCOMPARE(lines[1]["notes"].toArray(), QJsonArray({maskedNote}));
        QCOMPARE(lines[2]["notes"].toArray(), QJsonArray());

        const QList<QMap<QString, QString>> rows = csvRows(measure(QStringList({"--format", "csv"}) + files).out);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0]["notes"], damagedNote);
        QCOMPARE(rows[1]["notes"], maskedNote);
        QCOMPARE(rows[2]["notes"], QString());

        const QStringList table = QString::fromUtf8(measure(files).out).split('\n');
        QCOMPARE(table.size(), 7);
        QVERIFY(table[1].startsWith(damaged));
        QCOMPARE(table[2], "    note: " + damagedNote);
        QVERIFY(table[3].startsWith(green));
        QCOMPARE(table[4], "    note: " + maskedNote);
        QVERIFY(table[5].startsWith(red));
    }

    // Every name survives each report as data; a terminal sees no raw control character.
    void awkwardNamesInEveryFormat_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("comma") << "a, b.tif" << "a, b.tif";
        QTest::newRow("quote") << "say \"red\".tif" << "say \"red\".tif";
        QTest::newRow("tab") << "a\tb.tif" << "a\\tb.tif";
        QTest::newRow("carriage return") << "a\rb.tif" << "a\\rb.tif";
        QTest::newRow("line feed") << "a\nb.tif" << "a\\nb.tif";
        QTest::newRow("escape sequence") << "\x1b[31mred.tif" << "\\x1b[31mred.tif";
        QTest::newRow("delete") << "a\x7f.tif" << "a\\x7f.tif";
    }

    void awkwardNamesInEveryFormat()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        const QString path = dir + "/" + name;
        QFile::remove(path);
        QVERIFY(QFile::copy(red, path));
        // Markers like %1 in a description must stay text, not take another value's place.
        const char *description = "Line one\r\nline two, \"quoted\"\t100%1 end";
        cmsHPROFILE profile = cmsCreate_sRGBProfile();
        setDescription(profile, description);
        const QString profilePath = saveProfile(profile, dir, "lines.icc");

        const Run csv = measure({"--format", "csv", "--profile", profilePath, path});
        const QList<QMap<QString, QString>> rows = csvRows(csv.out);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0]["file"], path);
        QCOMPARE(rows[0]["profile"], QString(description));
        QCOMPARE(rows[0]["L"], QString("54.29"));

        const Run json = measure({"--format", "json", "--profile", profilePath, path});
        QCOMPARE(json.out.count('\n'), 1);
        for (const char byte : json.out.chopped(1))
            QVERIFY2(uchar(byte) >= 0x20 && byte != 0x7f, json.out.constData());
        const QJsonObject line = jsonLines(json.out).value(0);
        QCOMPARE(line["file"].toString(), path);
        QCOMPARE(line["profile"].toString(), QString(description));
        QCOMPARE(line["pixels"].toInt(), 20);

        const QStringList table = QString::fromUtf8(measure({"--profile", profilePath, path}).out).split('\n');
        QCOMPARE(table.size(), 3);
        QVERIFY2(table[1].startsWith(dir + "/" + shown + "  "), qPrintable(table[1]));
        QVERIFY2(table[1].endsWith("Line one\\r\\nline two, \"quoted\"\\t100%1 end"), qPrintable(table[1]));
        for (const QChar c : table[1])
            QVERIFY(c.category() != QChar::Other_Control);
    }

    // CI runs without LANG; a desktop has a UTF-8 locale. Either way the bytes reach the file.
    void namesThatAreNotUtf8_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::newRow("no locale") << QString();
        QTest::newRow("UTF-8 locale") << "C.UTF-8";
    }

    void namesThatAreNotUtf8()
    {
        QFETCH(QString, locale);
        const QByteArray bytes = QFile::encodeName(dir) + "/red-\xe9-\xff.tif";
        const QString path = QFile::decodeName(bytes);
        QCOMPARE(QFile::encodeName(path), bytes);
        QFile::remove(path);
        QVERIFY(QFile::copy(red, path));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *variable : {"LANG", "LC_ALL", "LC_CTYPE", "LANGUAGE"})
            environment.remove(variable);
        if (!locale.isEmpty())
            environment.insert("LANG", locale);

        const Run json = measure({"--format", "json", path}, environment);
        QCOMPARE(json.exitCode, 0);
        const QJsonObject line = jsonLines(json.out).value(0);
        QCOMPARE(line["pixels"].toInt(), 20);
        QCOMPARE(line["file"].toString(), dir + "/red-\uFFFD-\uFFFD.tif");
        const Run text = measure({path}, environment);
        QCOMPARE(text.exitCode, 0);
        QVERIFY2(text.out.contains("/red-\\xe9-\\xff.tif  54.29"), text.out.constData());

        cmsHPROFILE srgb = cmsCreate_sRGBProfile();
        setDescription(srgb, "Studio sRGB");
        const QString profile = saveProfile(srgb, dir, QFile::decodeName("studio-\xe9.icc"));
        const Run withProfile = measure({"--format", "json", "--profile", profile, path}, environment);
        QCOMPARE(withProfile.exitCode, 0);
        QCOMPARE(jsonLines(withProfile.out).value(0)["profile"].toString(), QString("Studio sRGB"));
    }

    void memoryLimitVariable_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("warning");
        const QString fallback = R"( is not a whole number of megabytes above 0; \d+(\.\d)? [MG]B )"
                                 R"(\((half of the physical memory|the process's address-space limit)\) is used )"
                                 R"(instead\.\n)";
        const QString clamped = " is more than a budget can hold; 8796093022207 MB, the largest, is used instead\\.\\n";
        QTest::newRow("unset") << QString() << QString();
        QTest::newRow("usable") << "64" << QString();
        QTest::newRow("one megabyte") << "1" << QString();
        QTest::newRow("zero") << "0" << R"(LUMIVANT_MEMORY_LIMIT_MB="0")" + fallback;
        QTest::newRow("negative") << "-1" << R"(LUMIVANT_MEMORY_LIMIT_MB="-1")" + fallback;
        QTest::newRow("words") << "abc" << R"(LUMIVANT_MEMORY_LIMIT_MB="abc")" + fallback;
        QTest::newRow("with a unit") << "64MB" << R"(LUMIVANT_MEMORY_LIMIT_MB="64MB")" + fallback;
        QTest::newRow("fraction") << "1.5" << R"(LUMIVANT_MEMORY_LIMIT_MB="1\.5")" + fallback;
        QTest::newRow("bytes beyond qint64") << "9000000000000" << "LUMIVANT_MEMORY_LIMIT_MB=9000000000000" + clamped;
        QTest::newRow("largest that fits") << "8796093022207" << QString();
        QTest::newRow("beyond any integer")
            << "99999999999999999999999" << "LUMIVANT_MEMORY_LIMIT_MB=99999999999999999999999" + clamped;
    }

    void memoryLimitVariable()
    {
        QFETCH(QString, value);
        QFETCH(QString, warning);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("LUMIVANT_MEMORY_LIMIT_MB");
        if (!value.isEmpty())
            environment.insert("LUMIVANT_MEMORY_LIMIT_MB", value);
        const Run run = measure({"--format", "json", red, inks, red}, environment);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(jsonLines(run.out).size(), 3);
        const QString err = QString::fromUtf8(run.err);
        if (warning.isEmpty())
            QCOMPARE(err, QString());
        else
            QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern("lumivant-measure: " + warning))
                         .match(err)
                         .hasMatch(),
                     qPrintable(err));
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err");
        QTest::newRow("no file") << QStringList() << 2 << "lumivant-measure: no image file given\nTry --help\n";
        QTest::newRow("unknown format") << QStringList({"--format", "xml", "a.jpg"}) << 2
                                        << "lumivant-measure: unknown format 'xml'\nTry --help\n";
        QTest::newRow("unknown intent") << QStringList({"--intent", "colorimetric", "a.jpg"}) << 2
                                        << "lumivant-measure: unknown intent 'colorimetric'\nTry --help\n";
        QTest::newRow("unknown option") << QStringList({"--frob", "a.jpg"}) << 2
                                        << "lumivant-measure: unknown option --frob\nTry --help\n";
        QTest::newRow("unknown option with an escape") << QStringList({"--fr\x1bob", "a.jpg"}) << 2
                                                       << "lumivant-measure: unknown option --fr\\x1bob\nTry --help\n";
        QTest::newRow("unknown letter") << QStringList({"-z", "a.jpg"}) << 2
                                        << "lumivant-measure: unknown option -z\nTry --help\n";
        QTest::newRow("missing value") << QStringList({"a.jpg", "--format"}) << 2
                                       << "lumivant-measure: Missing value after '--format'.\nTry --help\n";
        QTest::newRow("help") << QStringList({"--help"}) << 0 << QString();
        QTest::newRow("version") << QStringList({"--version"}) << 0 << QString();
    }

    void usage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        const Run run = measure(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(QString::fromUtf8(run.err), err);
        if (arguments == QStringList({"--version"}))
            QCOMPARE(run.out, ("lumivant-measure " + QCoreApplication::applicationVersion() + "\n").toUtf8());
        if (arguments == QStringList({"--help"}))
            QVERIFY(run.out.contains("--profile <FILE.icc>") && run.out.contains("--patches <SET.json>") &&
                    run.out.contains("--region <X,Y,W,H[:NAME]>") && run.out.contains("text|csv|json|cgats"));
    }

    // Each patch row of lumivant-measure is what the session measures for that
    // patch, to the digit, with the keys scripts rely on.
    void patchRowsEqualTheSessionsRows()
    {
        TiffPage page;
        page.width = 40;
        page.height = 30;
        page.extraSample = EXTRASAMPLE_UNASSALPHA;
        page.sample = [](int x, int y, int s) { return s == 4 ? (x == 3 ? 0 : 255) : (x * 7 + y * 11 + s * 40) % 256; };
        const QString file = dir + "/patchy.tif";
        QVERIFY(writeTiff(file, {page}));
        const QString set = writeFile(dir + "/set.json", R"({"patches": [
            {"name": "solid", "shape": "rect", "x": 2, "y": 3, "width": 10, "height": 8},
            {"name": "round", "shape": "ellipse", "x": 30, "y": 20, "width": 16, "height": 16}]})");
        const Run run = measure({"--format", "json", "--intent", "saturation", "--patches", set, "--region",
                                 "0,0,40,30:all", "--region", "5,6,7,8", file});
        QCOMPARE(run.exitCode, 0);
        const QList<QJsonObject> lines = jsonLines(run.out);
        QCOMPARE(lines.size(), 4);

        MeasuringSession session(getResourceDir());
        LoadJob job = session.loadJob(file);
        job.run();
        session.finishLoad(std::move(job));
        const SessionResult whole = session.setIntent(INTENT_SATURATION);
        QVector<Patch> patches(4);
        patches[0] = {"solid", PatchShape::Rect, QRect(2, 3, 10, 8), false};
        patches[1] = {"round", PatchShape::Ellipse, QRect(30, 20, 16, 16), true};
        patches[2] = {"all", PatchShape::Rect, QRect(0, 0, 40, 30), false};
        patches[3] = {"Region 2", PatchShape::Rect, QRect(5, 6, 7, 8), false};
        const QStringList keys = {"C", "L", "a", "b", "file", "h", "height", "inks", "notes", "numberOfInks", "ok",
                                  "patch", "pixels", "profile", "region", "sd", "srgb", "tac", "uniformity", "width"};
        for (int i = 0; i < 4; ++i) {
            const QJsonObject line = lines[i];
            const PatchMeasurement expected = measurePatch(session, patches[i]);
            QVERIFY(expected.average);
            QCOMPARE(line.keys(), keys);
            QCOMPARE(line["patch"].toString(), patches[i].name);
            QCOMPARE(line["width"].toInt(), 40);
            QCOMPARE(line["pixels"].toInt(), int(expected.pixels));
            const QJsonObject region = line["region"].toObject();
            QCOMPARE(QRect(region["x"].toInt(), region["y"].toInt(), region["width"].toInt(), region["height"].toInt()),
                     expected.region);
            QCOMPARE(region["shape"].toString(), QString(i == 1 ? "ellipse" : "rect"));
            const QStringList lab = colourValueTexts(*expected.average, false);
            QCOMPARE(QStringList({QString::number(line["L"].toDouble(), 'f', 2),
                                  QString::number(line["a"].toDouble(), 'f', 2),
                                  QString::number(line["b"].toDouble(), 'f', 2)}),
                     lab);
            const QJsonObject sd = line["sd"].toObject(), uniformity = line["uniformity"].toObject();
            const PatchSpread &spread = expected.spread;
            QCOMPARE(sd["L"].toDouble(), QString::number(spread.sdLab[0], 'f', 2).toDouble());
            QCOMPARE(sd["b"].toDouble(), QString::number(spread.sdLab[2], 'f', 2).toDouble());
            QCOMPARE(uniformity["dE00P95"].toDouble(), QString::number(spread.dE00P95, 'f', 2).toDouble());
            QCOMPARE(uniformity["sampled"].toBool(), false);
            QCOMPARE(line["tac"].toObject()["max"].toDouble(), QString::number(spread.tacMax, 'f', 2).toDouble());
            QCOMPARE(line["notes"].toArray().size(), patches[i].clipped ? 1 : 0);
        }
        QCOMPARE(lines[2]["L"].toDouble(), QString::number(double(whole.average->lab[0]), 'f', 2).toDouble());
        QCOMPARE(lines[2]["pixels"].toInt(), 30 * 39);

        const QList<QMap<QString, QString>> rows =
            csvRows(measure({"--format", "csv", "--patches", set, file}).out);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[1]["patch"], QString("round"));
        QCOMPARE(rows[1]["regionShape"], QString("ellipse"));
        QCOMPARE(rows[1]["L"], QString::number(lines[1]["L"].toDouble(), 'f', 2));
        QCOMPARE(rows[1]["dE00Mean"], QString::number(lines[1]["uniformity"].toObject()["dE00Mean"].toDouble(), 'f', 2));
        QCOMPARE(rows[1]["tacP99"], QString::number(lines[1]["tac"].toObject()["p99"].toDouble(), 'f', 2));
    }

    void cgatsLoadsBackWithTheJsonNumbers()
    {
        const QStringList patches = {"--region", "0,0,3,2:top left", "--region", "1,1,2,2", inks};
        const Run cgats = measure(QStringList({"--format", "cgats"}) + patches);
        QCOMPARE(cgats.exitCode, 0);
        const QList<QJsonObject> lines = jsonLines(measure(QStringList({"--format", "json"}) + patches).out);
        const It8Handle it8(cmsIT8LoadFromMem(nullptr, cgats.out.constData(), cmsUInt32Number(cgats.out.size())));
        QVERIFY2(it8, cgats.out.constData());
        QCOMPARE(cmsIT8GetPropertyDbl(it8.get(), "NUMBER_OF_SETS"), 2.0);
        QCOMPARE(QString(cmsIT8GetData(it8.get(), "1", "SAMPLE_NAME")), QString("top left"));
        QCOMPARE(QString(cmsIT8GetData(it8.get(), "2", "SAMPLE_NAME")), QString("Region 2"));
        for (int row = 0; row < 2; ++row) {
            const QByteArray id = QByteArray::number(row + 1);
            QCOMPARE(cmsIT8GetDataDbl(it8.get(), id, "LAB_L"), lines[row]["L"].toDouble());
            QCOMPARE(cmsIT8GetDataDbl(it8.get(), id, "LAB_B"), lines[row]["b"].toDouble());
            QCOMPARE(cmsIT8GetDataDbl(it8.get(), id, "CMYK_K"), lines[row]["inks"].toObject()["K"].toDouble());
        }
    }

    void regionsThatCannotBeMeasured()
    {
        Run run = measure({"--format", "json", "--region", "3,2,10,10:edge", "--region", "5,0,2,2:beyond", red});
        QCOMPARE(run.exitCode, 1);
        QList<QJsonObject> lines = jsonLines(run.out);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0]["pixels"].toInt(), 4);
        QCOMPARE(lines[0]["region"].toObject()["width"].toInt(), 2);
        QCOMPARE(lines[0]["notes"].toArray(),
                 QJsonArray({"The patch \"edge\" reaches beyond the picture; only its part inside is measured."}));
        QCOMPARE(lines[1]["ok"].toBool(), false);
        QCOMPARE(lines[1]["patch"].toString(), QString("beyond"));
        QCOMPARE(lines[1]["error"].toString(), QString("The region lies outside the picture of 5 × 4 pixels."));

        run = measure({"--format", "json", "--region", "0,0,5,4:keyed", green});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(jsonLines(run.out).value(0)["error"].toString(),
                 QString("No pixel counted in the region: every pixel there is masked or outside the shape."));

        const QString set = writeFile(dir + "/bad.json", "{\"patches\": [\n  {\"x\": 0, \"y\": 0, \"width\": -3, \"height\": 1}\n]}");
        run = measure({"--patches", set, red});
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(QString::fromUtf8(run.err),
                 "lumivant-measure: " + set + ", line 2: \"width\" must be a whole number of pixels from 1 to 1000000\n");
        QCOMPARE(run.out, QByteArray());
        run = measure({"--patches", dir + "/absent.json", red});
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(QString::fromUtf8(run.err),
                 "lumivant-measure: " + dir + "/absent.json: No such file or directory\n");
        run = measure({"--region", "1,2,0,4", red});
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(QString::fromUtf8(run.err),
                 QString("lumivant-measure: --region '1,2,0,4' is not X,Y,W,H[:NAME] in whole pixels (sizes from 1, "
                         "up to 1000000)\nTry --help\n"));
    }

    void textAndCsv()
    {
        const QStringList two = {red, inks};
        const Run csv = measure(QStringList({"--format", "csv"}) + two);
        QCOMPARE(csvRecords(csv.out).value(0),
                 QString("file,ok,error,width,height,numberOfInks,profile,pixels,L,a,b,C,h,inkC,inkM,inkY,inkK,"
                         "inkTotal,srgbR,srgbG,srgbB,notes")
                     .split(','));
        QCOMPARE(csvRows(csv.out).size(), 2);

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
