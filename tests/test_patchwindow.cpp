// Patches in the window: drawn with the mouse, listed in their table, shown in
// the panel, copied, and kept in patch set files.
#include "lcmshandles.h"
#include "modaldialogs.h"
#include "profiles.h"
#include "testenvironment.h"
#include "tifffiles.h"
#include "drivenwindow.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// A 40 × 30 RGB picture under the default profile: red left of x = 20, mid grey from there on.
QString writeRedAndGrey()
{
    TiffPage page;
    page.width = 40;
    page.height = 30;
    page.photometric = PHOTOMETRIC_RGB;
    page.colourSamples = 3;
    page.sample = [](int x, int, int s) { return x < 20 ? (s == 0 ? 255 : 0) : 128; };
    const QString path = testDirectory() + "/red-and-grey.tif";
    return writeTiff(path, {page}) ? path : QString();
}

// A 40 × 30 four-ink separation: one mix of inks left of x = 20, another from there on.
QString writeTwoInkMixes()
{
    TiffPage page;
    page.width = 40;
    page.height = 30;
    page.sample = [](int x, int, int s) {
        const int left[4] = {51, 77, 102, 26};
        const int right[4] = {200, 10, 30, 0};
        return x < 20 ? left[s] : right[s];
    };
    const QString path = testDirectory() + "/two-ink-mixes.tif";
    return writeTiff(path, {page}) ? path : QString();
}

// Red as the panel shows it under the relative colorimetric intent.
const QStringList redLab{"54.29", "80.81", "69.89"};

class PatchWindow : public DrivenWindow
{
public:
    using DrivenWindow::DrivenWindow;

    QTableWidget *table() { return window.findChild<QTableWidget *>("patchTable"); }
    QAction *measureArea() { return window.findChild<QAction *>("actionMeasureArea"); }

    // Draws in the "Measure area" mode and waits for the new row's values.
    void drawPatch(QPointF from, QPointF to, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const int rows = table()->rowCount();
        if (!measureArea()->isChecked())
            key(Qt::Key_M);
        drag(from, to, modifiers);
        QTRY_COMPARE(table()->rowCount(), rows + 1);
        QTRY_VERIFY(!cell(rows, 6).isEmpty());
    }

    QString cell(int row, int column)
    {
        const QTableWidgetItem *item = table()->item(row, column);
        return item ? item->text() : QString();
    }
    QStringList rowTexts(int row, int from = 0)
    {
        QStringList texts;
        for (int column = from; column < table()->columnCount() - 1; ++column)
            texts << cell(row, column);
        return texts;
    }
    QStringList panelLab()
    {
        return {access.ui().lL->text(), access.ui().aL->text(), access.ui().bL->text()};
    }

    void clickCell(int row, int column)
    {
        const QRect place = table()->visualItemRect(table()->item(row, column));
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          inWindow(table()->viewport(), place.center()));
    }

    // Types text into a cell as a user does: double-click, the old text is selected, type, Enter.
    void typeIntoCell(int row, int column, const QString &text)
    {
        const QRect place = table()->visualItemRect(table()->item(row, column));
        QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                           inWindow(table()->viewport(), place.center()));
        QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
        for (const QChar character : text)
            QTest::keyClick(window.windowHandle(), character.toLatin1());
        key(Qt::Key_Return);
        // The row is measured anew meanwhile, and the columns widen to its values.
        QCoreApplication::processEvents();
        QTRY_VERIFY(!cell(row, 6).isEmpty());
    }
};

} // namespace

class TestPatchWindow : public QObject
{
    Q_OBJECT

    QString picture;

private slots:
    void initTestCase()
    {
        setUpTestEnvironment();
        picture = writeRedAndGrey();
        QVERIFY(!picture.isEmpty());
    }

    // M enters the mode, Esc leaves it; outside it a drag pans and draws nothing.
    void modeKeysAndPanning()
    {
        PatchWindow w(picture);
        QVERIFY(w.active);
        QCOMPARE(w.table()->rowCount(), 1);
        QCOMPARE(w.cell(0, 0), QString("Whole image"));
        QCOMPARE(w.view()->dragMode(), QGraphicsView::ScrollHandDrag);
        w.key(Qt::Key_M);
        QVERIFY(w.measureArea()->isChecked());
        QCOMPARE(w.view()->dragMode(), QGraphicsView::NoDrag);
        w.key(Qt::Key_Escape);
        QVERIFY(!w.measureArea()->isChecked());
        QCOMPARE(w.view()->dragMode(), QGraphicsView::ScrollHandDrag);
        // A drawn patch would have its row at once, before it is measured.
        w.drag(QPointF(5, 5), QPointF(15, 15));
        QCOMPARE(w.table()->rowCount(), 1);
    }

    // A drag in the mode draws a rectangle on whole pixels, measured at release.
    void dragDrawsARectangle()
    {
        PatchWindow w(picture);
        QVERIFY(w.active);
        w.drawPatch(QPointF(2.1, 3.2), QPointF(11.8, 8.9));
        QCOMPARE(w.rowTexts(1).mid(0, 9), QStringList({"Patch 1", "2", "3", "10", "6", "60"}) + redLab);
        // One colour: no spread at all.
        QCOMPARE(w.rowTexts(1).mid(9, 5), QStringList({"0.00", "0.00", "0.00", "0.00", "0.00"}));
        QCOMPARE(w.rowTexts(0).mid(0, 6), QStringList({"Whole image", "0", "0", "40", "30", "1200"}));
        // The new patch is chosen, in the table as on the picture.
        QCOMPARE(w.panelLab(), redLab);
        w.clickCell(0, 0);
        QCOMPARE(w.rowTexts(0, 6).mid(0, 3), w.panelLab());
    }

    // With Shift the drag draws an ellipse: it counts the pixels whose centres fall inside.
    void shiftDragDrawsAnEllipse()
    {
        PatchWindow w(picture);
        QVERIFY(w.active);
        w.drawPatch(QPointF(22, 4), QPointF(36, 24), Qt::ShiftModifier);
        int inside = 0;
        for (int y = 4; y < 24; ++y)
            for (int x = 22; x < 36; ++x) {
                const double dx = (x + 0.5 - 29.0) / 7.0;
                const double dy = (y + 0.5 - 14.0) / 10.0;
                inside += dx * dx + dy * dy <= 1.0 ? 1 : 0;
            }
        QCOMPARE(w.rowTexts(1).mid(0, 6), QStringList({"Patch 1", "22", "4", "14", "20", QString::number(inside)}));
        QVERIFY(inside < 14 * 20);
    }

    void deleteKeyRemovesThePatch()
    {
        PatchWindow w(picture);
        QVERIFY(w.active);
        w.drawPatch(QPointF(2, 2), QPointF(8, 8));
        w.drawPatch(QPointF(22, 2), QPointF(28, 8));
        QCOMPARE(w.table()->rowCount(), 3);
        // The patch drawn last is the one selected.
        w.key(Qt::Key_Delete);
        QCOMPARE(w.table()->rowCount(), 2);
        QCOMPARE(w.cell(1, 0), QString("Patch 1"));
    }

    // Outside the mode a patch is dragged by its inside and resized by a corner's handle, on whole pixels.
    void moveAndResizeWithTheMouse()
    {
        PatchWindow w(picture);
        QVERIFY(w.active);
        w.drawPatch(QPointF(2, 2), QPointF(8, 8));
        w.key(Qt::Key_Escape);
        w.drag(QPointF(5.2, 5.3), QPointF(9.6, 7.1));
        QTRY_COMPARE(w.rowTexts(1).mid(1, 5), QStringList({"6", "4", "6", "6", "36"}));
        // The bottom right corner's handle, held a little inside the corner.
        w.drag(QPointF(11.98, 9.98), QPointF(15.2, 10.8));
        QTRY_COMPARE(w.rowTexts(1).mid(1, 5), QStringList({"6", "4", "9", "7", "63"}));
        QCOMPARE(w.table()->rowCount(), 2);
    }

    // A double-click on a patch asks for its new name.
    void doubleClickRenames()
    {
        PatchWindow w(picture);
        QVERIFY(w.active);
        w.drawPatch(QPointF(2, 2), QPointF(8, 8));
        w.key(Qt::Key_Escape);
        whenModalAppears([](QWidget *dialog) {
            auto *input = qobject_cast<QInputDialog *>(dialog);
            input->setTextValue("Skin tone");
            input->accept();
        });
        QTest::mouseDClick(w.window.windowHandle(), Qt::LeftButton, Qt::NoModifier, w.onPicture(QPointF(6, 6)));
        QTRY_COMPARE(w.cell(1, 0), QString("Skin tone"));
    }

    // The chosen row's values fill the panel; the whole image's come back with its row.
    void chosenRowShowsInThePanel()
    {
        PatchWindow w(picture);
        QVERIFY(w.active);
        const QStringList whole = w.panelLab();
        QVERIFY(whole != redLab);
        w.drawPatch(QPointF(2, 2), QPointF(8, 8));
        w.key(Qt::Key_Escape);
        w.clickCell(0, 0);
        QCOMPARE(w.panelLab(), whole);
        w.clickCell(1, 3);
        QCOMPARE(w.panelLab(), redLab);
        QCOMPARE(w.window.resultsLine(), QString("red-and-grey.tif, Patch 1: L* 54.29, a* 80.81, b* 69.89"));
        w.clickCell(0, 2);
        QCOMPARE(w.panelLab(), whole);
    }

    // A patch typed in over the whole picture gives the whole picture's values to the digit.
    void typedPatchOverThePictureEqualsWholeImage()
    {
        PatchWindow w(picture);
        QVERIFY(w.active);
        w.drawPatch(QPointF(2, 2), QPointF(8, 8));
        w.key(Qt::Key_Escape);
        w.typeIntoCell(1, 1, "0");
        w.typeIntoCell(1, 2, "0");
        w.typeIntoCell(1, 3, "40");
        w.typeIntoCell(1, 4, "30");
        QTRY_COMPARE(w.rowTexts(1, 1), w.rowTexts(0, 1));
        w.clickCell(1, 0);
        QCOMPARE(w.panelLab(), w.rowTexts(0, 6).mid(0, 3));
        // A size that is no number puts the old one back.
        w.typeIntoCell(1, 3, "wide");
        QTRY_COMPARE(w.cell(1, 3), QString("40"));
    }

    // Another intent or L*C*h* rewrites every row, the panel with them.
    void choicesRewriteEveryRow()
    {
        PatchWindow w(writeTwoInkMixes());
        QVERIFY(w.active);
        w.drawPatch(QPointF(2, 2), QPointF(8, 8));
        w.key(Qt::Key_Escape);
        QCOMPARE(w.table()->horizontalHeaderItem(13)->text(), QString("Total %"));
        const QStringList patchRelative = w.rowTexts(1, 6);
        const QStringList wholeRelative = w.rowTexts(0, 6);
        Ui::ImageWindow &ui = w.access.ui();
        ui.renderingCB->setFocus();
        // From relative colorimetric over saturation to absolute colorimetric, which keeps the paper's tint.
        w.key(Qt::Key_Down);
        w.key(Qt::Key_Down);
        QCOMPARE(ui.renderingCB->currentIndex(), 3);
        QVERIFY(w.waitForWholeImageRow());
        QTRY_VERIFY(!w.cell(1, 6).isEmpty());
        QVERIFY(w.rowTexts(1, 6).mid(0, 3) != patchRelative.mid(0, 3));
        QVERIFY(w.rowTexts(0, 6).mid(0, 3) != wholeRelative.mid(0, 3));
        // The inks do not depend on the intent.
        QCOMPARE(w.rowTexts(1, 9).mid(0, 5), patchRelative.mid(3, 5));
        w.clickCell(1, 0);
        QCOMPARE(w.panelLab(), w.rowTexts(1).mid(6, 3));
        w.clickCell(0, 0);
        QCOMPARE(w.panelLab(), w.rowTexts(0).mid(6, 3));

        QTest::mouseClick(window(ui.lchRB), Qt::LeftButton, Qt::NoModifier,
                          inWindow(ui.lchRB, ui.lchRB->rect().center()));
        QCOMPARE(w.table()->horizontalHeaderItem(7)->text(), QString("C*"));
        QCOMPARE(w.rowTexts(0).mid(6, 3), w.panelLab());

        // An RGB picture has fewer columns, and its swatch stands in a column
        // the four inks fill with values: loaded back, only the swatch column shows a swatch.
        w.window.openImageFile(picture);
        QVERIFY(w.waitForWholeImageRow());
        w.window.openImageFile(writeTwoInkMixes());
        QVERIFY(w.waitForWholeImageRow());
        const int swatchColumn = w.table()->columnCount() - 1;
        for (int row = 0; row < w.table()->rowCount(); ++row)
            for (int column = 0; column <= swatchColumn; ++column)
                QVERIFY2(w.table()->item(row, column)->icon().isNull() == (column < swatchColumn),
                         qPrintable(QString("row %1, column %2").arg(row).arg(column)));
    }

    // Copy table gives tab-separated lines that read back as the table's cells.
    void copyTableParsesBack()
    {
        PatchWindow w(picture);
        QVERIFY(w.active);
        w.drawPatch(QPointF(2, 2), QPointF(8, 8));
        w.drawPatch(QPointF(18, 10), QPointF(26, 20), Qt::ShiftModifier);
        // Copied at once: the copy waits for the new patch's values.
        w.drag(QPointF(10, 20), QPointF(16, 26));
        w.key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QStringList lines = QGuiApplication::clipboard()->text().split('\n');
        QCOMPARE(lines.takeLast(), QString());
        QCOMPARE(lines.size(), 5);
        QStringList headers;
        for (int column = 0; column < w.table()->columnCount() - 1; ++column)
            headers << w.table()->horizontalHeaderItem(column)->text();
        QCOMPARE(lines[0].split('\t'), headers);
        QCOMPARE(lines[4].split('\t').mid(0, 9), QStringList({"Patch 3", "10", "20", "6", "6", "36"}) + redLab);
        for (int row = 0; row < 4; ++row)
            QCOMPARE(lines[row + 1].split('\t'), w.rowTexts(row));
    }

    // Export… writes the type of the filter chosen: CGATS.17 loads back
    // through Little CMS with the table's names and values, CSV with its cells.
    void exportByTheChosenFilter()
    {
        PatchWindow w(picture);
        QVERIFY(w.active);
        w.drawPatch(QPointF(2, 2), QPointF(8, 8));
        w.key(Qt::Key_Escape);
        const auto exportAs = [&w](const QString &filter, const QString &path) {
            w.saveThroughDialog(Qt::Key_E, Qt::ControlModifier, filter, path);
        };
        const QString cgats = testDirectory() + "/table.txt";
        exportAs("CGATS.17 (*.txt *.cgats)", cgats);
        It8Handle it8(cmsIT8LoadFromFile(nullptr, QFile::encodeName(cgats).constData()));
        QVERIFY(it8);
        QCOMPARE(int(cmsIT8GetPropertyDbl(it8.get(), "NUMBER_OF_SETS")), 2);
        const int nameColumn = cmsIT8FindDataFormat(it8.get(), "SAMPLE_NAME");
        const char *labColumns[] = {"LAB_L", "LAB_A", "LAB_B"};
        for (int row = 0; row < 2; ++row) {
            QCOMPARE(QString(cmsIT8GetDataRowCol(it8.get(), row, nameColumn)), w.cell(row, 0));
            for (int i = 0; i < 3; ++i) {
                const int column = cmsIT8FindDataFormat(it8.get(), labColumns[i]);
                const double value = cmsIT8GetDataRowColDbl(it8.get(), row, column);
                QCOMPARE(QString::number(value, 'f', 2), w.cell(row, 6 + i));
            }
        }

        const QString csv = testDirectory() + "/table.csv";
        exportAs("CSV (*.csv)", csv);
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[2].split(','), w.rowTexts(1));
    }

    // Save then Open gives the same patches, names and shapes.
    void patchSetSavedAndOpened()
    {
        PatchWindow w(picture);
        QVERIFY(w.active);
        w.drawPatch(QPointF(2, 2), QPointF(8, 8));
        w.drawPatch(QPointF(22, 4), QPointF(36, 24), Qt::ShiftModifier);
        w.key(Qt::Key_Escape);
        w.typeIntoCell(1, 0, "Solid red");
        QTRY_COMPARE(w.cell(1, 0), QString("Solid red"));
        const QVector<QStringList> drawn{w.rowTexts(1), w.rowTexts(2)};

        const QString set = testDirectory() + "/two-patches.json";
        answerFileDialog(set);
        w.key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_VERIFY(QFileInfo::exists(set));
        QTRY_COMPARE(w.window.statusBar()->currentMessage(), QString("Patch set saved to two-patches.json"));
        QVERIFY(w.reactivate());
        w.key(Qt::Key_Delete);
        w.clickCell(1, 0);
        w.key(Qt::Key_Delete);
        QCOMPARE(w.table()->rowCount(), 1);

        answerFileDialog(set);
        w.key(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_COMPARE(w.table()->rowCount(), 3);
        QVERIFY(w.reactivate());
        QTRY_COMPARE(w.rowTexts(1), drawn[0]);
        QCOMPARE(w.rowTexts(2), drawn[1]);
    }

    // A set that does not parse keeps the patches, and the box names the file and the line.
    void brokenPatchSetIsRefused()
    {
        PatchWindow w(picture);
        QVERIFY(w.active);
        w.drawPatch(QPointF(2, 2), QPointF(8, 8));
        const QString broken = testDirectory() + "/broken.json";
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\"patches\": [\n  {\"name\": \"a\",\n   \"x\": }\n]}\n");
        file.close();
        answerFileDialog(broken);
        startRecordingWarnings();
        w.key(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_COMPARE(recordedWarningReasons().size(), 1);
        stopRecordingWarnings();
        const QString reason = recordedWarningReasons().first();
        QVERIFY2(reason.contains("broken.json") && reason.contains("3"), qPrintable(reason));
        QCOMPARE(w.table()->rowCount(), 2);
    }

    // Before any picture, the whole image's row has a name and nothing else.
    void wholeImageRowWithoutPicture()
    {
        CVCImageWindow window;
        const QTableWidget *table = window.findChild<QTableWidget *>("patchTable");
        QCOMPARE(table->rowCount(), 1);
        QStringList texts;
        for (int column = 0; column < table->columnCount(); ++column)
            texts << (table->item(0, column) ? table->item(0, column)->text() : QString());
        QCOMPARE(texts.mid(0, 6), QStringList({"Whole image", "", "", "", "", ""}));
    }

    // A new picture keeps the patches: one reaching beyond it is clipped and
    // marked, and where every pixel is left out it counts none.
    void newPictureClipsPatches()
    {
        PatchWindow w(picture);
        QVERIFY(w.active);
        w.drawPatch(QPointF(24, 20), QPointF(36, 28));
        TiffPage small;
        small.width = 30;
        small.height = 25;
        small.photometric = PHOTOMETRIC_RGB;
        small.colourSamples = 3;
        // The green key from x = 24 on.
        small.sample = [](int x, int, int s) { return x < 24 ? 128 : (s == 1 ? 255 : 0); };
        const QString path = testDirectory() + "/small.tif";
        QVERIFY(writeTiff(path, {small}));
        w.window.openImageFile(path);
        QVERIFY(w.waitForWholeImageRow());
        QCOMPARE(w.rowTexts(1).mid(0, 8), QStringList({"Patch 1", "24", "20", "6", "5", "0", "no pixel counted", ""}));
        QVERIFY(w.window.statusBar()->currentMessage().contains("Patch 1"));
        // Chosen, the empty patch shows no values and no colour, not the whole picture's.
        QLabel *swatch = w.access.ui().colorL;
        w.clickCell(0, 0);
        QVERIFY(!swatch->styleSheet().isEmpty());
        w.clickCell(1, 0);
        QCOMPARE(w.panelLab(), QStringList({"–", "–", "–"}));
        QCOMPARE(swatch->styleSheet(), QString());
        w.clickCell(0, 0);
        QVERIFY(!swatch->styleSheet().isEmpty());
    }

private:
    static QWindow *window(QWidget *widget) { return widget->window()->windowHandle(); }
};

QTEST_MAIN(TestPatchWindow)
#include "test_patchwindow.moc"
