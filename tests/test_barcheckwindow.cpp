// A colour bar checked in the window: the reference opened, the bar drawn
// and laid out, the verdict in the panel, on the picture and in its tables,
// another tolerance set, the report exported, and bad input that leaves the
// check as it was.
#include "PatchItem.h"
#include "colourbarfiles.h"
#include "modaldialogs.h"
#include "testenvironment.h"
#include "drivenwindow.h"

#include <QtTest>
#include <QtWidgets>

namespace {

class BarWindow : public DrivenWindow
{
public:
    using DrivenWindow::DrivenWindow;

    QLabel *label(const char *name) { return window.findChild<QLabel *>(name); }
    QString verdict() { return label("verdictWordL")->text() + " | " + label("verdictL")->text(); }
    QTableWidget *table(const char *name) { return window.findChild<QTableWidget *>(name); }

    void click(QWidget *widget)
    {
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          inWindow(widget, widget->rect().center()));
    }

    // Opens a reference with the dock's button, as a user clicks it.
    void openReference(const QString &path)
    {
        window.findChild<QDockWidget *>("colourBarDock")->raise();
        answerFileDialog(path);
        click(window.findChild<QPushButton *>("openReferencePB"));
        QVERIFY(reactivate());
    }

    // B, a drag around the wedge's 4 × 4 cells, and the layout offered
    // accepted with Enter; cellText receives what the dialog said of the cells.
    void drawBar(QString *cellText)
    {
        whenModalAppears([cellText](QWidget *dialog) {
            *cellText = dialog->findChild<QLabel *>("cellCountL")->text();
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        key(Qt::Key_B);
        drag(QPointF(10, 10), QPointF(90, 90));
        QTRY_VERIFY(!cellText->isEmpty());
        QVERIFY(reactivate());
    }

    // "Other…", the last entry of the tolerance sets, chosen by keyboard in the open list; path answers its dialog.
    void chooseOtherToleranceSet(const QString &path)
    {
        auto *tolerances = window.findChild<QComboBox *>("toleranceCB");
        click(tolerances);
        QTRY_VERIFY(QApplication::activePopupWidget());
        answerFileDialog(path);
        QTest::keyClick(tolerances->view(), Qt::Key_End);
        QTest::keyClick(tolerances->view(), Qt::Key_Return);
        QVERIFY(reactivate());
    }

    QString cell(const char *tableName, int row, int column)
    {
        const QTableWidgetItem *item = table(tableName)->item(row, column);
        return item ? item->text() : QString();
    }
    // The row whose first cell is first.
    QStringList row(const char *tableName, const QString &first)
    {
        QTableWidget *grid = table(tableName);
        for (int r = 0; r < grid->rowCount(); ++r) {
            if (cell(tableName, r, 0) != first)
                continue;
            QStringList texts;
            for (int column = 0; column < grid->columnCount(); ++column)
                texts << cell(tableName, r, column);
            return texts;
        }
        return {};
    }
    // The pass or fail each patch on the picture shows, by name: "pass", "fail" or "-".
    QMap<QString, QString> marks()
    {
        QMap<QString, QString> shown;
        for (QGraphicsItem *item : view()->scene()->items())
            if (auto *patch = dynamic_cast<PatchItem *>(item))
                shown.insert(patch->patch().name, !patch->verdict() ? "-" : *patch->verdict() ? "pass" : "fail");
        return shown;
    }

};

// A tolerance set "Tight" of one rule, all patches' ΔE*ab at most 0.5, its limit under limitKey; returns its path.
QString writeTightSet(const QString &name, const QString &limitKey = "limit")
{
    const QString path = testDirectory() + "/" + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(QString(R"({"name": "Tight", "rules": [{"name": "All", "covers": "all", "metric": "dE76",
                           "statistic": "max", "%1": 0.5}]})")
                   .arg(limitKey)
                   .toUtf8());
    return path;
}

// The "each" rows of the proof set's rules: name, covers, metric, statistic, value, limit, result, worst patch.
QStringList ruleTexts(const QStringList &row)
{
    return row.mid(0, 8);
}

} // namespace

class TestBarCheckWindow : public QObject
{
    Q_OBJECT

    QString wedge;
    QString reference;
    QString shifted;

private slots:
    void initTestCase()
    {
        setUpTestEnvironment();
        const QString dir = testDirectory();
        wedge = writeWedgeTiff(dir + "/wedge.tif", testWedge(), 4, 20, 10);
        reference = writeWedgeReference(dir + "/reference.txt", testWedge(), true);
        shifted = writeWedgeReference(dir + "/shifted.txt", testWedge(), true, "M", 5.5);
        QVERIFY(!wedge.isEmpty() && !reference.isEmpty() && !shifted.isEmpty());
    }

    // B without a reference asks for one first; the bar drawn around the
    // wedge is offered as 4 × 4 and passes; the reference with M's L* 5.5
    // higher fails exactly the solid rule, at once, without drawing again.
    void drawnBarPassesThenFailsOnTheShiftedReference()
    {
        BarWindow w(wedge);
        QVERIFY(w.active);
        QVERIFY(!w.label("verdictWordL")->isVisible());
        // Without a reference chosen the button springs back and a drag pans.
        answerFileDialog(QString());
        w.key(Qt::Key_B);
        QVERIFY(w.reactivate());
        QVERIFY(!w.window.findChild<QAction *>("actionColourBar")->isChecked());
        QCOMPARE(w.view()->dragMode(), QGraphicsView::ScrollHandDrag);
        answerFileDialog(reference);
        QString cells;
        w.drawBar(&cells);
        QCOMPARE(cells, QString("16 cells for the 16 patches of the reference"));
        QTRY_COMPARE(w.label("verdictWordL")->text(), QString("PASS"));
        QVERIFY(w.label("verdictWordL")->isVisible());
        QCOMPARE(w.table("patchTable")->rowCount(), 17);
        QCOMPARE(w.cell("patchTable", 1, 0), QString("P"));
        QCOMPARE(w.cell("patchTable", 16, 0), QString("K40"));
        // Each cell less 20 % on every side: the second patch, C, is 12 pixels square from (34, 14).
        QCOMPARE(w.row("patchTable", "C").mid(1, 4), QStringList({"34", "14", "12", "12"}));
        const QStringList m = w.row("checkPatchTable", "M");
        QCOMPARE(m.mid(1, 3), m.mid(4, 3));
        QCOMPARE(m.mid(7, 8), QStringList({"0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "pass"}));
        QCOMPARE(w.marks().values(), QVector<QString>(16, "pass").toList());

        w.openReference(shifted);
        QTRY_COMPARE(w.verdict(), QString("FAIL | worst rule: Solids, 5.50 against 5.00; worst patch: M"));
        QCOMPARE(ruleTexts(w.row("checkRuleTable", "Solids")),
                 QStringList({"Solids", "solids", "ΔE*ab", "each", "5.50", "5.00", "fail", "M"}));
        QStringList results;
        for (int row = 0; row < w.table("checkRuleTable")->rowCount(); ++row)
            results << w.cell("checkRuleTable", row, 6);
        QCOMPARE(results, QStringList({"pass", "pass", "pass", "fail", "pass", "pass"}));
        QCOMPARE(ruleTexts(w.row("checkRuleTable", "Paper")),
                 QStringList({"Paper", "paper", "ΔE*ab", "each", "0.00", "3.00", "pass", "P"}));
        QCOMPARE(w.row("checkPatchTable", "M").mid(7, 5), QStringList({"5.50", "5.08", "-5.50", "0.00", "0.00"}));
        QCOMPARE(w.row("checkPatchTable", "M")[14], QString("fail"));
        QCOMPARE(w.marks().value("M"), QString("fail"));
        QCOMPARE(w.marks().value("C"), QString("pass"));
    }

    // Another tolerance set judges the same measurements again; the report
    // is written in the type of the filter chosen and read back.
    void toleranceSetAndReport()
    {
        BarWindow w(wedge);
        QVERIFY(w.active);
        w.window.openReference(shifted);
        QString cells;
        w.drawBar(&cells);
        QTRY_COMPARE(w.label("verdictWordL")->text(), QString("FAIL"));
        auto *tolerances = w.window.findChild<QComboBox *>("toleranceCB");
        w.click(tolerances);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(tolerances->view(), Qt::Key_Down);
        QTest::keyClick(tolerances->view(), Qt::Key_Return);
        QTRY_COMPARE(tolerances->currentText(), QString("ΔE2000 control wedge"));
        QTRY_COMPARE(w.verdict(), QString("FAIL | worst rule: Primaries, 5.08 against 5.00; worst patch: M"));

        const auto exportAs = [&w](const QString &filter, const QString &path) {
            w.saveThroughDialog(Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier, filter, path);
        };
        const QString json = testDirectory() + "/check.json";
        exportAs("JSON, patches and rules (*.json)", json);
        QFile file(json);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject report = QJsonDocument::fromJson(file.readAll()).object();
        QCOMPARE(report["verdict"].toString(), QString("fail"));
        QCOMPARE(report["patches"].toArray().size(), 16);
        QCOMPARE(report["file"].toString(), QString("wedge.tif"));

        const QString pdf = testDirectory() + "/check.pdf";
        exportAs("PDF report (*.pdf)", pdf);
        QProcess text;
        text.start("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(text.waitForFinished(60000));
        const QString words = QString::fromUtf8(text.readAllStandardOutput()).simplified();
        QVERIFY2(words.contains("FAIL (worst rule: Primaries, 5.08 against 5.00; worst patch: M)"), qPrintable(words));
        QVERIFY2(words.contains("ΔE2000 control wedge"), qPrintable(words));
    }

    // A grid that does not match is not offered for a check; the user's own
    // patches give way only when the user says so; a patch that is not the
    // reference's leaves no verdict; a bad reference leaves the check as it was.
    void mismatchesAndBadInputLeaveTheCheckAsItWas()
    {
        BarWindow w(wedge);
        QVERIFY(w.active);
        w.window.openReference(reference);
        w.key(Qt::Key_M);
        w.drag(QPointF(2, 2), QPointF(8, 8));
        QTRY_COMPARE(w.table("patchTable")->rowCount(), 2);
        QTRY_COMPARE(w.verdict(), "NO VERDICT | The patch set does not match the reference " + reference +
                                      " (16 patches): no patch for P, C, M, Y, K and 11 more; patches not in the "
                                      "reference: Patch 1.");

        QString fewer;
        bool okEnabled = true;
        whenModalAppears([&fewer, &okEnabled](QWidget *dialog) {
            QTest::keyClick(dialog->findChild<QSpinBox *>("rowsSB"), Qt::Key_Down);
            fewer = dialog->findChild<QLabel *>("cellCountL")->text();
            okEnabled = qobject_cast<QDialogButtonBox *>(dialog->findChild<QDialogButtonBox *>())
                            ->button(QDialogButtonBox::Ok)
                            ->isEnabled();
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        w.key(Qt::Key_B);
        w.drag(QPointF(10, 10), QPointF(90, 90));
        QTRY_VERIFY(!fewer.isEmpty());
        QCOMPARE(fewer, QString("12 cells, but the reference has 16 patches"));
        QVERIFY(!okEnabled);
        QVERIFY(w.reactivate());

        // The layout accepted, then the question of replacing Patch 1 cancelled, then accepted.
        for (const QString &answer : {QString("Cancel"), QString("Replace")}) {
            bool answered = false;
            whenModalAppears([answer, &answered](QWidget *dialog) {
                QTest::keyClick(dialog, Qt::Key_Return);
                whenModalAppears([answer, &answered](QWidget *question) {
                    for (QAbstractButton *button : question->findChildren<QAbstractButton *>())
                        if (button->text() == answer)
                            QTest::mouseClick(button, Qt::LeftButton);
                    answered = true;
                });
            });
            w.key(Qt::Key_B);
            w.drag(QPointF(10, 10), QPointF(90, 90));
            QTRY_VERIFY(answered);
            QVERIFY(w.reactivate());
            if (answer == "Cancel")
                QCOMPARE(w.table("patchTable")->rowCount(), 2);
        }
        QTRY_COMPARE(w.table("patchTable")->rowCount(), 17);
        QTRY_COMPARE(w.label("verdictWordL")->text(), QString("PASS"));

        const QString shortRow = testDirectory() + "/short-row.txt";
        QFile bad(shortRow);
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("CGATS.17\nNUMBER_OF_FIELDS 4\nBEGIN_DATA_FORMAT\nSAMPLE_ID LAB_L LAB_A LAB_B\nEND_DATA_FORMAT\n"
                  "NUMBER_OF_SETS 2\nBEGIN_DATA\nA 50 0 0\nB 60 0\nEND_DATA\n");
        bad.close();
        startRecordingWarnings();
        w.openReference(shortRow);
        QTRY_COMPARE(stopRecordingWarnings(), QStringList({"The reference could not be opened."}));
        QVERIFY2(recordedWarningReasons().value(0).contains("line"), qPrintable(recordedWarningReasons().value(0)));
        QCOMPARE(w.label("verdictWordL")->text(), QString("PASS"));
        QCOMPARE(w.table("checkPatchTable")->rowCount(), 16);

        // "Other…" with a mistyped key is refused and the set in force stays; a sound file is taken.
        const QString mistyped = writeTightSet("mistyped.json", "limt");
        auto *tolerances = w.window.findChild<QComboBox *>("toleranceCB");
        const QString inForce = tolerances->currentText();
        startRecordingWarnings();
        w.chooseOtherToleranceSet(mistyped);
        QCOMPARE(tolerances->currentText(), inForce);
        QTRY_COMPARE(stopRecordingWarnings(), QStringList({"The tolerance set could not be opened."}));
        QVERIFY2(recordedWarningReasons().value(0).contains("limt"), qPrintable(recordedWarningReasons().value(0)));
        QCOMPARE(w.label("verdictWordL")->text(), QString("PASS"));

        const QString tight = writeTightSet("tight.json");
        w.chooseOtherToleranceSet(tight);
        QCOMPARE(tolerances->currentText(), QString("Tight"));
        QTRY_COMPARE(w.table("checkRuleTable")->rowCount(), 1);
        QCOMPARE(w.label("verdictWordL")->text(), QString("PASS"));
    }

    // A set of the user's own is chosen again at the next start; one that has gone is noted.
    void toleranceSetChosenAgainAtTheNextStart()
    {
        const QString tight = writeTightSet("tight-at-start.json");
        {
            BarWindow w(wedge);
            w.window.openReference(reference);
            w.chooseOtherToleranceSet(tight);
        }
        QCOMPARE(BarWindow(wedge).window.findChild<QComboBox *>("toleranceCB")->currentText(), QString("Tight"));
        QVERIFY(QFile::remove(tight));
        CVCImageWindow gone;
        QCOMPARE(gone.findChild<QComboBox *>("toleranceCB")->currentText(), QString("ISO 12647-7 proof (ΔE*ab)"));
        QVERIFY2(gone.statusBar()->currentMessage().contains("tight-at-start.json"),
                 qPrintable(gone.statusBar()->currentMessage()));
    }
};

QTEST_MAIN(TestBarCheckWindow)
#include "test_barcheckwindow.moc"
