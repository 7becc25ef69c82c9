#include "checkpdf.h"
#include "checkreport.h"
#include "colourbarcheck.h"
#include "colourbarfiles.h"
#include "imagefiles.h"
#include "measuredcgats.h"
#include "measuringsession.h"
#include "patchassignment.h"
#include "referencereader.h"
#include "reporttext.h"
#include "resourcedir.h"
#include "testenvironment.h"
#include "toleranceset.h"

#include <QProcess>
#include <QtTest>

#include <lcms2.h>

namespace {

// The bar's grid on the test wedge: four rows of four 20-pixel cells, 10 pixels in.
GridLayout wedgeGrid()
{
    GridLayout grid;
    grid.area = QRect(10, 10, 80, 80);
    grid.rows = 4;
    grid.columns = 4;
    return grid;
}

// Rows of a CSV text without quotes, by the value of their first field.
QHash<QString, QStringList> csvRowsById(const QString &csv)
{
    QHash<QString, QStringList> rows;
    const QStringList lines = csv.split('\n', Qt::SkipEmptyParts);
    for (const QString &line : lines.mid(1))
        rows.insert(line.section(',', 0, 0), line.split(','));
    return rows;
}

QString cgats(const QByteArray &format, const QByteArray &data, const QByteArray &fieldsLine = "NUMBER_OF_FIELDS 4\n")
{
    return QString::fromLatin1("CGATS.17\n" + fieldsLine + "BEGIN_DATA_FORMAT\n" + format +
                               "\nEND_DATA_FORMAT\nNUMBER_OF_SETS 2\nBEGIN_DATA\n" + data + "END_DATA\n");
}

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// The timeout only catches a hang.
Run measure(const QStringList &arguments)
{
    QProcess program;
    program.start(QCoreApplication::applicationDirPath() + "/lumivant-measure", arguments);
    if (!program.waitForFinished(60000)) {
        program.kill();
        program.waitForFinished();
        return {-1, QByteArray(), "hung"};
    }
    return {program.exitCode(), program.readAllStandardOutput(), program.readAllStandardError()};
}

// The wedge's 16 patches as a saved patch set, last first; each 12 pixels square in the middle of its cell.
QByteArray wedgePatchSet()
{
    QStringList patches;
    const QVector<WedgePatch> wedge = testWedge();
    for (int k = wedge.size() - 1; k >= 0; --k)
        patches << QString(R"({"name": "%1", "shape": "rect", "x": %2, "y": %3, "width": 12, "height": 12})")
                       .arg(wedge[k].id)
                       .arg(14 + 20 * (k % 4))
                       .arg(14 + 20 * (k / 4));
    return "{\"patches\": [" + patches.join(",\n").toUtf8() + "]}\n";
}

} // namespace

class TestColourBar : public QObject
{
    Q_OBJECT

    QString dir;
    QString wedgeImage;
    ToleranceSet proofSet;

    ColourBarCheck checkWedge(const QString &referencePath)
    {
        const ReferenceReading reference = readReferenceFile(referencePath);
        if (!reference.ok())
            qFatal("%s", qPrintable(reference.error));
        MeasuringSession session(getResourceDir());
        LoadJob job = session.loadJob(wedgeImage);
        job.run();
        session.finishLoad(std::move(job));
        const PatchAssignment assignment = assignGrid(reference.chart, wedgeGrid());
        return checkColourBar(session, reference.chart, assignment.patches, proofSet);
    }

private slots:
    void initTestCase()
    {
        setUpTestEnvironment();
        dir = testDirectory() + "/colourbar";
        QDir().mkpath(dir);
        wedgeImage = writeWedgeTiff(dir + "/wedge.tif", testWedge(), 4, 20, 10);
        QVERIFY(!wedgeImage.isEmpty());
        const ToleranceReading reading = readToleranceFile(getResourceDir() + "/tolerances/iso12647-7-proof.json");
        QVERIFY2(reading.ok(), qPrintable(reading.error));
        proofSet = reading.set;
    }

    // Both example sets load, and say what they approximate.
    void exampleSetsLoad()
    {
        for (const QString name : {"iso12647-7-proof.json", "de2000-control-wedge.json"}) {
            const ToleranceReading reading = readToleranceFile(getResourceDir() + "/tolerances/" + name);
            QVERIFY2(reading.ok(), qPrintable(reading.error));
            QVERIFY(reading.set.comment.contains("Approximates"));
        }
        QCOMPARE(proofSet.name, QString("ISO 12647-7 proof (ΔE*ab)"));
        QCOMPARE(proofSet.rules.size(), 6);
    }

    // A wedge measured through the profile its reference was made with matches it to the digit.
    void wedgeMatchingItsReferencePasses()
    {
        const ColourBarCheck check = checkWedge(writeWedgeReference(dir + "/exact.txt", testWedge(), true));
        QVERIFY2(check.ok(), qPrintable(check.error));
        QVERIFY(check.pass);
        const QHash<QString, QStringList> rows = csvRowsById(patchRowsCsv(check));
        QCOMPARE(rows.size(), 16);
        for (const QStringList &row : rows) {
            QCOMPARE(row.mid(12, 5), QStringList({"0.00", "0.00", "0.00", "0.00", "0.00"}));
            QCOMPARE(row[5], QString("144")); // 12 × 12 pixels: 20 % off each side of a 20-pixel cell
            QCOMPARE(row.last(), QString("true"));
        }
        QCOMPARE(rows["M"].mid(1, 4), QStringList({"54", "14", "12", "12"})); // third cell of the first row
        const QHash<QString, QStringList> rules = csvRowsById(ruleRowsCsv(check));
        QCOMPARE(rules["Solids"][7], QString("C M Y K"));
        QCOMPARE(rules["Paper"][7], QString("P"));
        QCOMPARE(check.rules[5].patches,
                 QStringList({"CMY", "G20", "G40", "G60"})); // C = M = Y, K = 0: the solid overprint too
    }

    // One solid off by 5.5 in L* fails the solids rule alone, with that ΔE*ab.
    void shiftedSolidFailsTheSolidRule()
    {
        const ColourBarCheck check = checkWedge(writeWedgeReference(dir + "/shifted.txt", testWedge(), true, "M", 5.5));
        QVERIFY2(check.ok(), qPrintable(check.error));
        QVERIFY(!check.pass);
        QStringList failed;
        for (const RuleOutcome &rule : check.rules)
            if (!rule.pass)
                failed << rule.rule.name;
        QCOMPARE(failed, QStringList({"Solids"}));
        QCOMPARE(check.rules[check.worstRule].rule.name, QString("Solids"));
        QCOMPARE(check.worstPatch, QString("M"));
        const QStringList m = csvRowsById(patchRowsCsv(check))["M"];
        // With a* and b* equal, ΔE2000 is |ΔL*| / SL, SL = 1 + 0.015 (L̄ − 50)² / √(20 + (L̄ − 50)²) = 1.0836 at L̄
        // = 56.70.
        QCOMPARE(m.mid(12, 2), QStringList({"5.50", "5.08"}));
        QCOMPARE(m.mid(14, 3), QStringList({"-5.50", "0.00", "0.00"}));
        QCOMPARE(m.last(), QString("false"));
        QCOMPARE(verdictLine(check), QString("FAIL (worst rule: Solids, 5.50 against 5.00; worst patch: M)"));
        QVERIFY(verdictJson(check, "w.tif").startsWith("{\"file\":\"w.tif\",\"verdict\":\"fail\",\"rules\":["));
    }

    // Without tone values the categories cannot be found; their rules step aside with a note.
    void categoriesNeedToneValues()
    {
        const ColourBarCheck check = checkWedge(writeWedgeReference(dir + "/aims.txt", testWedge(), false));
        QVERIFY(check.ok());
        QVERIFY(check.pass);
        QStringList judged;
        for (const RuleOutcome &rule : check.rules)
            if (!rule.skipped)
                judged << rule.rule.name;
        QCOMPARE(judged, QStringList({"All patches, mean", "All patches, maximum"}));
        QCOMPARE(check.notes().first(),
                 QString("Rule \"Paper\" skipped: the reference gives no CMYK tone values to find its paper by."));
    }

    // Twenty patches off their aims by 0.1 to 2.0 in L*: the statistics over them, and a listed rule.
    void statisticsOverPatches()
    {
        ReferenceChart reference;
        QVector<Patch> patches;
        QVector<PatchMeasurement> measurements;
        for (int k = 1; k <= 20; ++k) {
            reference.patches << ReferencePatch{QString::number(k), {50.0, 10.0, -10.0}, std::nullopt};
            patches << Patch{QString::number(k), PatchShape::Rect, QRect(k, 0, 1, 1), false};
            PatchMeasurement measured;
            measured.average = AverageColour();
            measured.average->lab = {float(50.0 + k / 10.0), 10.0f, -10.0f};
            measurements << measured;
        }
        ToleranceSet set;
        const auto rule = [](const char *name, ToleranceStatistic statistic, double limit, QStringList listed = {}) {
            return ToleranceRule{name,      listed.isEmpty() ? Coverage::All : Coverage::Listed,
                                 listed,    ToleranceMetric::DeltaE76,
                                 statistic, limit};
        };
        set.rules = {rule("mean", ToleranceStatistic::Mean, 1.05), rule("p95", ToleranceStatistic::P95, 1.8),
                     rule("max", ToleranceStatistic::Max, 1.9),
                     rule("listed", ToleranceStatistic::Each, 1, {"3", "X"})};
        const ColourBarCheck check = checkColourBar(reference, patches, measurements, set);
        QVERIFY(check.ok());
        QStringList values;
        for (const RuleOutcome &outcome : check.rules)
            values << twoDecimals(outcome.value) + (outcome.pass ? " pass" : " fail");
        QCOMPARE(values, QStringList({"1.05 pass", "1.90 fail", "2.00 fail", "0.30 pass"}));
        QCOMPARE(check.rules[2].failing, QStringList({"20"}));
        QCOMPARE(check.patches[18].pass, std::optional<bool>(true)); // 1.9 is within the maximum's limit
        QCOMPARE(check.patches[19].pass, std::optional<bool>(false));
        QCOMPARE(check.notes(), QStringList({"Rule \"listed\": not in the reference: X."}));
        QCOMPARE(check.rules[check.worstRule].rule.name, QString("p95")); // 1.90 / 1.8 is the furthest over
    }

    void gridOrder_data()
    {
        QTest::addColumn<int>("order");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("cells"); // the identifiers of the cells, row by row from the top left
        QTest::newRow("rows from top left") << int(GridOrder::RowMajor) << int(GridCorner::TopLeft) << "123456";
        QTest::newRow("columns from top left") << int(GridOrder::ColumnMajor) << int(GridCorner::TopLeft) << "135246";
        QTest::newRow("rows from top right") << int(GridOrder::RowMajor) << int(GridCorner::TopRight) << "321654";
        QTest::newRow("rows from bottom left") << int(GridOrder::RowMajor) << int(GridCorner::BottomLeft) << "456123";
        QTest::newRow("columns from bottom right")
            << int(GridOrder::ColumnMajor) << int(GridCorner::BottomRight) << "642531";
    }

    void gridOrder()
    {
        QFETCH(int, order);
        QFETCH(int, start);
        QFETCH(QString, cells);
        ReferenceChart reference;
        for (int k = 1; k <= 6; ++k)
            reference.patches << ReferencePatch{QString::number(k), {}, std::nullopt};
        GridLayout grid;
        grid.area = QRect(100, 50, 30, 20);
        grid.rows = 2;
        grid.columns = 3;
        grid.order = GridOrder(order);
        grid.start = GridCorner(start);
        const PatchAssignment assignment = assignGrid(reference, grid);
        QVERIFY(assignment.ok());
        QString seen;
        for (int y : {55, 65})
            for (int x : {105, 115, 125})
                for (const Patch &patch : assignment.patches)
                    if (patch.rect.contains(x, y))
                        seen += patch.name;
        QCOMPARE(seen, cells);
        QCOMPARE(assignment.patches[0].rect.size(), QSize(6, 6));
    }

    void layoutMismatchesAreReported()
    {
        ReferenceChart reference;
        reference.file = "ref.txt";
        for (const char *id : {"A", "B", "C"})
            reference.patches << ReferencePatch{id, {}, std::nullopt};
        GridLayout grid;
        grid.area = QRect(0, 0, 40, 10);
        grid.columns = 4;
        QCOMPARE(assignGrid(reference, grid).error,
                 QString("The grid has 4 cells (1 × 4) but the reference ref.txt has 3 patches."));
        const QVector<Patch> set{{"A", PatchShape::Rect, QRect(0, 0, 5, 5), false},
                                 {"C", PatchShape::Ellipse, QRect(5, 0, 5, 5), false},
                                 {"D", PatchShape::Rect, QRect(10, 0, 5, 5), false}};
        QCOMPARE(assignPatchSet(reference, set).error,
                 QString("The patch set does not match the reference ref.txt (3 patches): no patch for B; "
                         "patches not in the reference: D."));
        const PatchAssignment matching =
            assignPatchSet(reference, {set[1], set[0], {"B", PatchShape::Rect, QRect(1, 1, 2, 2), false}});
        QVERIFY(matching.ok());
        QCOMPARE(matching.patches[1].name, QString("B"));
        QCOMPARE(matching.patches[2].shape, PatchShape::Ellipse);
    }

    void xyzAimsBecomeLab()
    {
        const ReferenceReading reading = readReferenceText(
            cgats("SAMPLE_NAME XYZ_X XYZ_Y XYZ_Z", "white 96.42 100 82.49\n\"mid grey\" 17.7 18.42 15.2\n").toLatin1(),
            "xyz.txt");
        QVERIFY2(reading.ok(), qPrintable(reading.error));
        QCOMPARE(reading.chart.identifiers(), QStringList({"white", "mid grey"}));
        QCOMPARE(QString::number(reading.chart.patches[0].lab[0], 'f', 2), QString("100.00"));
        QCOMPARE(QString::number(reading.chart.patches[1].lab[0], 'f', 2), QString("50.00"));
        QVERIFY(!reading.chart.hasTones());
    }

    void malformedReferences_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no NUMBER_OF_FIELDS") << cgats("SAMPLE_ID LAB_L LAB_A LAB_B", "1 50 0 0\n2 60 0 0\n", "")
                                             << "line 3: AllocateDataFormat: Unknown NUMBER_OF_FIELDS.";
        QTest::newRow("short row") << cgats("SAMPLE_ID LAB_L LAB_A LAB_B", "1 50 0\n2 60 0 0\n")
                                   << "line 8: the row has 3 values where NUMBER_OF_FIELDS says 4";
        QTest::newRow("text for an aim") << cgats("SAMPLE_ID LAB_L LAB_A LAB_B", "1 50 0 0\n2 sixty 0 0\n")
                                         << "line 9: LAB_L is \"sixty\", not a number";
        QTest::newRow("identifier twice") << cgats("SAMPLE_ID LAB_L LAB_A LAB_B", "A1 50 0 0\nA1 60 0 0\n")
                                          << "line 9: the identifier A1 is used twice (first at line 8)";
        QTest::newRow("spectral only") << cgats("SAMPLE_ID SPECTRAL_NM400 SPECTRAL_NM410 SPECTRAL_NM420",
                                                "1 0.5 0.5 0.5\n2 0.4 0.4 0.4\n")
                                       << "it holds spectral values only";
        QTest::newRow("no aims") << cgats("SAMPLE_ID CMYK_C CMYK_M CMYK_Y", "1 0 0 0\n2 100 0 0\n") << "it has no aims";
        QTest::newRow("not CGATS") << QString("\x01\x02 binary") << "cannot be used: ";
    }

    // A malformed reference is refused with its reason, never read as zeros.
    void malformedReferences()
    {
        QFETCH(QString, text);
        QFETCH(QString, reason);
        const ReferenceReading reading = readReferenceText(text.toLatin1(), "bad.txt");
        QVERIFY(!reading.ok());
        QVERIFY2(reading.error.startsWith("The reference bad.txt cannot be used: "), qPrintable(reading.error));
        QVERIFY2(reading.error.contains(reason), qPrintable(reading.error));
        QVERIFY(reading.chart.patches.isEmpty());
    }

    void toleranceFilesAreChecked_data()
    {
        QTest::addColumn<QString>("json");
        QTest::addColumn<QString>("reason");
        const QString rule = R"({"name": "r", "covers": %1, "metric": "dE00", "statistic": "each", "limit": %2%3})";
        QTest::newRow("unknown rule key")
            << QString(R"({"rules": [%1]})").arg(rule.arg("\"all\"", "3", ", \"limt\": 2"))
            << "rule 1: unknown key \"limt\" (known: name, covers, metric, statistic, limit)";
        QTest::newRow("unknown set key") << QString(R"({"rulez": []})") << "unknown key \"rulez\"";
        QTest::newRow("unknown category") << QString(R"({"rules": [%1]})").arg(rule.arg("\"tints\"", "3", ""))
                                          << "rule 1: \"covers\" must be one of all, greys, overprints, paper, solids";
        QTest::newRow("negative limit") << QString(R"({"rules": [%1]})").arg(rule.arg("[\"A\"]", "-1", ""))
                                        << "rule 1: \"limit\" must be a number, 0 or more";
        QTest::newRow("broken JSON") << QString("{\n\"rules\": [\n}") << "line 3: ";
    }

    void toleranceFilesAreChecked()
    {
        QFETCH(QString, json);
        QFETCH(QString, reason);
        const ToleranceReading reading = readToleranceText(json.toUtf8(), "set.json");
        QVERIFY2(reading.error.startsWith("The tolerance set set.json cannot be used: " + reason),
                 qPrintable(reading.error));
    }

    // The exports read back: the measured values as CGATS through Little CMS, the PDF rendered with its verdict.
    void reportsReadBack()
    {
        const ColourBarCheck check = checkWedge(writeWedgeReference(dir + "/shift2.txt", testWedge(), true, "M", 5.5));
        QString error;
        QVERIFY(saveMeasuredCgats(check, dir + "/measured.txt", &error));
        const ReferenceReading measured = readReferenceFile(dir + "/measured.txt");
        QVERIFY2(measured.ok(), qPrintable(measured.error));
        QStringList ids;
        for (const WedgePatch &patch : testWedge())
            ids << patch.id;
        QCOMPARE(measured.chart.identifiers(), ids);
        QCOMPARE(QString::number(measured.chart.patches[2].lab[0], 'f', 2),
                 QString::number(check.patches[2].measuredLab[0], 'f', 2));
        QVERIFY(measured.chart.hasTones());

        const QJsonDocument json = QJsonDocument::fromJson(checkJson(check, "wedge.tif").toUtf8());
        QCOMPARE(json["verdict"].toString(), QString("fail"));
        QCOMPARE(json["patches"][2]["dE76"].toDouble(), 5.5);
        QCOMPARE(json["rules"][3]["failing"].toArray().size(), 1);

        const QString pdf = dir + "/report.pdf";
        QVERIFY(writeCheckPdf(check, {"wedge.tif", "shift2.txt", proofSet.name, "Default CMYK", 1}, pdf, &error));
        QProcess render;
        render.start("pdftoppm", {"-r", "40", "-png", "-singlefile", pdf, dir + "/page"});
        QVERIFY(render.waitForFinished(-1));
        QCOMPARE(render.exitCode(), 0);
        const QImage page(dir + "/page.png");
        QVERIFY(!page.isNull());
        QVERIFY(page.height() > page.width()); // one A4 page, upright
        QProcess text;
        text.start("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(text.waitForFinished(-1));
        const QString words = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(words.contains("FAIL (worst rule: Solids, 5.50 against 5.00; worst patch: M)"), qPrintable(words));
        QCOMPARE(words.count('\f'), 1);
    }

    void commandLineExitStatus_data()
    {
        const QString exact = writeWedgeReference(dir + "/cli-exact.txt", testWedge(), true);
        const QString shifted = writeWedgeReference(dir + "/cli-shifted.txt", testWedge(), true, "M", 5.5);
        const QString broken = writeFile(dir + "/cli-broken.txt", "CGATS.17\nBEGIN_DATA\nEND_DATA\n");
        const QString grid = "10,10,80,80,4x4";
        const QString set = writeFile(dir + "/cli-set.json", wedgePatchSet());
        const QString tolerances = getResourceDir() + "/tolerances/de2000-control-wedge.json";
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err");
        QTest::newRow("pass") << QStringList({"--reference", exact, "--grid", grid, wedgeImage}) << 0 << QString();
        QTest::newRow("pass by patch set")
            << QStringList({"--reference", exact, "--patches", set, wedgeImage}) << 0 << QString();
        QTest::newRow("fail") << QStringList({"--reference", shifted, "--grid", grid, wedgeImage}) << 3 << QString();
        QTest::newRow("fail in ΔE2000") << QStringList({"--reference", shifted, "--tolerances", tolerances, "--grid",
                                                        grid, wedgeImage})
                                        << 3 << QString();
        QTest::newRow("read by columns") << QStringList({"--reference", exact, "--grid", grid + ",columns", wedgeImage})
                                         << 3 << QString();
        QTest::newRow("an image missing")
            << QStringList({"--reference", exact, "--grid", grid, wedgeImage, dir + "/none.tif"}) << 1 << QString();
        QTest::newRow("grid without reference") << QStringList({"--grid", grid, wedgeImage}) << 2
                                                << "lumivant-measure: --grid and --tolerances check a colour bar: they "
                                                   "need --reference\nTry --help\n";
        QTest::newRow("reference without grid")
            << QStringList({"--reference", exact, wedgeImage}) << 2
            << "lumivant-measure: --reference needs either --grid or --patches (and "
               "no --region)\nTry --help\n";
        QTest::newRow("bad grid")
            << QStringList({"--reference", exact, "--grid", "10,10,80,80,4x4,diagonal", wedgeImage}) << 2
            << "lumivant-measure: --grid '10,10,80,80,4x4,diagonal' is not "
               "X,Y,W,H,ROWSxCOLS[,rows|columns][,INSET] (whole pixels, inset 0 to below 50)\nTry --help\n";
        QTest::newRow("grid not the reference's")
            << QStringList({"--reference", exact, "--grid", "10,10,80,80,4x3", wedgeImage}) << 2
            << "lumivant-measure: The grid has 12 cells (4 × 3) but the reference " + exact + " has 16 patches.\n";
        QTest::newRow("broken reference") << QStringList({"--reference", broken, "--grid", grid, wedgeImage}) << 2
                                          << "lumivant-measure: The reference " + broken + " cannot be used: ";
    }

    // 0 when every file passes, 3 when one fails a rule, 1 when one cannot be checked, 2 for usage.
    void commandLineExitStatus()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        const Run run = measure(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(QString::fromUtf8(run.err).startsWith(err), run.err.constData());
        if (exitCode == 2)
            QVERIFY(run.out.isEmpty());
    }

    void helpNamesEveryExitStatus()
    {
        const QString help = QString::fromUtf8(measure({"--help"}).out);
        for (const char *status : {"\n  0  every file", "\n  1  a file could not", "\n  2  a usage error",
                                   "\n  3  a file failed a tolerance rule"})
            QVERIFY2(help.contains(status), status);
    }

    // JSON: a row per patch with its comparison, then the file's verdict, with the keys scripts rely on.
    void commandLineJson()
    {
        const QString shifted = writeWedgeReference(dir + "/json-shifted.txt", testWedge(), true, "M", 5.5);
        const Run run = measure({"--format", "json", "--reference", shifted, "--grid", "10,10,80,80,4x4", wedgeImage});
        QCOMPARE(run.exitCode, 3);
        const QList<QByteArray> lines = run.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 17);
        QVERIFY(lines[2].contains(R"("patch":"M","region":{"x":54,"y":14,"width":12,"height":12,"shape":"rect"})"));
        QVERIFY(lines[2].contains(R"("dE76":5.50,"dE00":5.08,"dL":-5.50,"dC":0.00,"dH":0.00,"pass":false})"));
        const QJsonObject paper = QJsonDocument::fromJson(lines[0]).object();
        QCOMPARE(paper["pass"], QJsonValue(true));
        QVERIFY(paper["reference"].toObject().contains("L"));
        const QJsonObject verdict = QJsonDocument::fromJson(lines[16]).object();
        QCOMPARE(verdict["file"].toString(), wedgeImage);
        QCOMPARE(verdict["verdict"].toString(), QString("fail"));
        const QJsonObject solids = verdict["rules"].toArray()[3].toObject();
        for (const char *key : {"name", "metric", "statistic", "value", "limit", "pass", "patches"})
            QVERIFY2(solids.contains(key), key);
        QCOMPARE(solids["name"].toString(), QString("Solids"));
        QCOMPARE(solids["pass"], QJsonValue(false));
        QCOMPARE(solids["patches"].toArray().size(), 4);
    }
};

QTEST_MAIN(TestColourBar)
#include "test_colourbar.moc"
