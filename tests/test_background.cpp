// A window that stays alive while it works: busy cursor, progress, cancel.
#include "imagefiles.h"
#include "modaldialogs.h"
#include "patchsetfile.h"
#include "profiles.h"
#include "testenvironment.h"
#include "tifffiles.h"
#include "windowtestaccess.h"

#include <QtTest>
#include <QtWidgets>

#include <atomic>
#include <future>
#include <random>
#include <vector>

namespace {

// Runs action once, as soon as the busy cursor shows.
void whenBusy(std::function<void()> action)
{
    auto *timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (!QGuiApplication::overrideCursor())
            return;
        timer->stop();
        timer->deleteLater();
        action();
    });
    timer->start(1);
}

// A click as the mouse gives it: to the window system's window, at the widget's place.
void clickThroughWindow(QWidget *widget)
{
    QWidget *window = widget->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      widget->mapTo(window, widget->rect().center()));
}

// Colours that hardly repeat, uncompressed: slow enough to measure that the
// work can be abandoned halfway.
QString writeNoiseTiff(const QString &path, int width, int height)
{
    TIFF *tiff = TIFFOpen(path.toLocal8Bit().constData(), "w");
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(height));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, uint16_t(3));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, uint16_t(8));
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_RGB));
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, uint32_t(64));
    std::mt19937 random(7);
    std::vector<uint8_t> line(size_t(width) * 3);
    for (int y = 0; y < height; ++y) {
        for (uint8_t &sample : line)
            sample = uint8_t(random());
        TIFFWriteScanline(tiff, line.data(), uint32_t(y), 0);
    }
    TIFFClose(tiff);
    return path;
}

// The window at a usual size, active, so that keys reach its shortcuts.
bool showActive(QWidget &window)
{
    window.resize(1113, 806);
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

struct Shown {
    QString file;
    QStringList values;
    QSize picture;
    QString profile;
    bool operator==(const Shown &other) const
    {
        return file == other.file && values == other.values && picture == other.picture && profile == other.profile;
    }
};

Shown shown(WindowTestAccess &access)
{
    Ui::ImageWindow &ui = access.ui();
    const QList<QGraphicsItem *> items = ui.graphicsView->scene()->items();
    return {ui.imageL->text(),
            {ui.lL->text(), ui.aL->text(), ui.bL->text()},
            // The picture's rectangle: the item holds only the visible part, drawn once it arrives.
            items.size() == 1 ? ui.graphicsView->sceneRect().size().toSize() : QSize(),
            ui.embeddedL->text()};
}

} // namespace

class TestBackground : public QObject
{
    Q_OBJECT

    QString dir;
    QString slowImage;

private slots:
    void initTestCase()
    {
        setUpTestEnvironment();
        dir = testDirectory() + "/background";
        QDir().mkpath(dir);
        slowImage = writeNoiseTiff(dir + "/slow.tif", 4000, 3000);
    }

    void cancelledLoadKeepsEverything_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::newRow("Esc") << false;
        QTest::newRow("Cancel button") << true;
    }

    void cancelledLoadKeepsEverything()
    {
        QFETCH(bool, byButton);
        CVCImageWindow window;
        window.show();
        WindowTestAccess access(window);
        QCOMPARE(clickThroughDialog(access.ui().loadImagePB, writeJpeg(dir, "kept.jpg", solidImage(30, 20, QColor(200, 60, 20)))),
                 QStringList());
        access.ui().renderingCB->setCurrentIndex(2);
        const Shown before = shown(access);
        // The first load is over once its picture is in view.
        QTRY_VERIFY(!QGuiApplication::overrideCursor());

        bool clickSwallowed = false;
        whenBusy([&] {
            // Nothing but Esc and Cancel reaches the window meanwhile.
            clickThroughWindow(access.ui().loadImagePB);
            clickSwallowed = !QApplication::activeModalWidget();
            if (!byButton) {
                QTest::keyClick(window.windowHandle(), Qt::Key_Escape);
                return;
            }
            auto *cancel = window.findChild<QPushButton *>("cancelWorkPB");
            QTRY_VERIFY(cancel->isVisible());
            QVERIFY(window.findChild<QLabel *>("workTitleL")->text() == "Loading slow.tif…");
            QTRY_VERIFY(window.findChild<QProgressBar *>("workProgress")->value() > 0);
            clickThroughWindow(cancel);
        });
        QCOMPARE(clickThroughDialog(access.ui().loadImagePB, slowImage), QStringList());
        QVERIFY(clickSwallowed);
        QCOMPARE(shown(access), before);
        QCOMPARE(access.ui().renderingCB->currentIndex(), 2);
        QVERIFY(!access.ui().labF->isHidden());
        QCOMPARE(access.ui().mainStatusBar->currentMessage(), QString("slow.tif: cancelled; nothing has changed."));
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(!window.findChild<QPushButton *>("cancelWorkPB")->isVisible());
    }

    // The busy cursor lasts until the values and the fitted picture, or the
    // warning, show, however short the work.
    void busyCursorUntilValuesOrWarning()
    {
        CVCImageWindow window;
        WindowTestAccess access(window);
        bool busyDuringWork = false;
        whenBusy([&] { busyDuringWork = true; });
        QCOMPARE(clickThroughDialog(access.ui().loadImagePB, writeJpeg(dir, "quick.jpg", solidImage(2, 2, Qt::red))),
                 QStringList());
        QVERIFY(busyDuringWork);
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(!access.pictureView().shownRendering().isNull());

        QFile text(dir + "/text.jpg");
        text.open(QIODevice::WriteOnly);
        text.write("not a picture");
        text.close();
        bool busyUnderWarning = true;
        answerFileDialog(text.fileName());
        whenModalAppears([&](QWidget *box) {
            busyUnderWarning = QGuiApplication::overrideCursor() != nullptr;
            static_cast<QMessageBox *>(box)->button(QMessageBox::Ok)->click();
        });
        // The file dialog comes first; the warning after it.
        QTimer::singleShot(0, [&] { whenModalAppears([&](QWidget *) {}, 0); });
        access.ui().loadImagePB->click();
        QVERIFY(!busyUnderWarning);
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // A profile choice reads no pixel again: the counts of the load stay, and
    // only the visible part of the picture is drawn anew, off the window's
    // thread, so an Esc pressed right after the click finds nothing to stop.
    void profileSwitchReadsNoPixelAgain()
    {
        CVCImageWindow window;
        window.show();
        WindowTestAccess access(window);
        const QString noise = writeNoiseTiff(dir + "/noise.tif", 1000, 800);
        QCOMPARE(clickThroughDialog(access.ui().loadImagePB, noise), QStringList());
        const qint64 counted = access.pixelCount();
        access.ui().embeddedCB->click();
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(!access.ui().embeddedCB->isChecked());
        QVERIFY(!access.ui().loadImageF->isHidden());
        QCOMPARE(access.pixelCount(), counted);
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
    }

    // A worker that ignores the cancel (a read that blocks) is left behind:
    // the window gets its input back while the worker still waits.
    void stuckWorkIsAbandoned()
    {
        QMainWindow window;
        window.show();
        BackgroundWork work(&window);
        std::promise<void> release;
        const std::shared_future<void> released = release.get_future().share();
        const auto ended = std::make_shared<std::atomic<bool>>(false);
        QTimer::singleShot(50, [&] { QTest::keyClick(window.windowHandle(), Qt::Key_Escape); });
        QVERIFY(!work.run("Stuck", [released, ended](WorkControl &) {
            released.wait();
            ended->store(true);
        }));
        QVERIFY(!ended->load());
        QVERIFY(!work.busy());
        release.set_value();
        QTRY_VERIFY(ended->load());
    }

    // Started work leaves the window its input. Cancel ends it at once, even
    // with its worker stuck; work that is run interrupts it; and the end of a
    // worker left behind tells nothing more.
    void startedWorkEndsAsTold()
    {
        using Ending = BackgroundWork::Ending;
        QVector<Ending> endings;
        QMainWindow window;
        window.show();
        BackgroundWork work(&window);
        const auto record = [&endings](Ending ending) { endings << ending; };
        std::promise<void> release;
        const std::shared_future<void> released = release.get_future().share();
        const auto stuck = [released](WorkControl &) { released.wait(); };

        work.start("Stuck", stuck, record);
        QVERIFY(work.started() && !work.busy());
        auto *cancel = window.findChild<QPushButton *>("cancelWorkPB");
        QTRY_VERIFY(cancel->isVisible());
        QCOMPARE(window.findChild<QLabel *>("workTitleL")->text(), QString("Stuck"));
        clickThroughWindow(cancel);
        QCOMPARE(endings, QVector<Ending>({Ending::Cancelled}));
        QVERIFY(!work.started());
        QVERIFY(!cancel->isVisible());

        work.start("Quick", [](WorkControl &) {}, record);
        QTRY_COMPARE(endings.size(), 2);
        QCOMPARE(endings[1], Ending::Finished);

        work.start("Stuck again", stuck, record);
        QVERIFY(work.run("Modal", [](WorkControl &) {}));
        QCOMPARE(endings.size(), 3);
        QCOMPARE(endings[2], Ending::Interrupted);
        release.set_value();
        QTest::qWait(100);
        QCOMPARE(endings.size(), 3);
    }

    // The patch rows are measured while the window takes input: a zoom key
    // works at once, and a profile chosen meanwhile leaves every row measured
    // through it, not through the one in force when the measuring began.
    void patchRowsMeasuredWithoutBlocking()
    {
        CVCImageWindow window;
        QVERIFY(showActive(window));
        WindowTestAccess access(window);
        const auto *rows = window.findChild<QTableWidget *>("patchTable");
        const auto wholeImageLab = [rows] {
            QStringList lab;
            for (int column = 6; column < 9; ++column)
                lab << (rows->item(0, column) ? rows->item(0, column)->text() : QString());
            return lab;
        };
        QCOMPARE(clickThroughDialog(access.ui().loadImagePB, slowImage), QStringList());
        QTRY_VERIFY(!QGuiApplication::overrideCursor());
        // The closed file dialog leaves the window to be made active again, as a user's click does.
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(window.findChild<QLabel *>("workTitleL")->text(), QString("Measuring patches of slow.tif…"));
        QVERIFY(wholeImageLab()[0].isEmpty());
        const double fitted = access.ui().graphicsView->transform().m11();
        QTest::keyClick(window.windowHandle(), Qt::Key_Plus);
        QCOMPARE(access.ui().graphicsView->transform().m11(), fitted * 1.25);
        // The one row's progress shows as its rows are read.
        QTRY_VERIFY(window.findChild<QProgressBar *>("workProgress")->value() > 0);
        QVERIFY(wholeImageLab()[0].isEmpty());

        const QStringList panelBefore{access.ui().lL->text(), access.ui().aL->text(), access.ui().bL->text()};
        clickThroughWindow(access.ui().embeddedCB);
        QVERIFY(!access.ui().loadImageF->isHidden());
        QCOMPARE(clickThroughDialog(access.ui().loadImageICCPB,
                                    saveProfile(makeWideRgbProfile("Wide RGB"), dir, "wide.icc")),
                 QStringList());
        const QStringList panel{access.ui().lL->text(), access.ui().aL->text(), access.ui().bL->text()};
        QVERIFY(panel != panelBefore);
        QTRY_VERIFY_WITH_TIMEOUT(!wholeImageLab()[0].isEmpty(), 20000);
        QCOMPARE(wholeImageLab(), panel);
    }

    // A name being typed into the table stays while the rows are measured
    // and the table is filled anew.
    void typingGoesOnWhileRowsAreMeasured()
    {
        CVCImageWindow window;
        QVERIFY(showActive(window));
        const auto *rows = window.findChild<QTableWidget *>("patchTable");
        const auto measured = [rows](int row) { return rows->item(row, 6) && !rows->item(row, 6)->text().isEmpty(); };
        window.openImageFile(slowImage);
        QTRY_VERIFY_WITH_TIMEOUT(measured(0), 20000);
        Patch patch;
        patch.name = "Patch 1";
        patch.rect = QRect(100, 100, 50, 50);
        const QString set = dir + "/one-patch.json";
        QVERIFY(PatchSetFile::write(set, {patch}, nullptr));
        // Every row is measured anew, the whole picture's first.
        window.openPatchSet(set);
        QVERIFY(!measured(0));
        const QRect name = rows->visualItemRect(rows->item(1, 0));
        QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                           rows->viewport()->mapTo(&window, name.center()));
        QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
        for (const char character : QByteArray("Skin"))
            QTest::keyClick(window.windowHandle(), character);
        QTRY_VERIFY_WITH_TIMEOUT(measured(0) && measured(1), 20000);
        QTest::keyClick(window.windowHandle(), Qt::Key_Return);
        QTRY_COMPARE(rows->item(1, 0)->text(), QString("Skin"));
    }

    // Patches deleted and moved while their rows are measured end with the
    // rows of the patches as they are, measured where they are now.
    void rowsEditedWhileMeasuredEndAsTheyAre()
    {
        Patch first;
        first.name = "First";
        first.rect = QRect(100, 100, 50, 50);
        Patch second;
        second.name = "Second";
        second.rect = QRect(2000, 1000, 300, 200);
        const QString both = dir + "/two-patches.json";
        QVERIFY(PatchSetFile::write(both, {first, second}, nullptr));
        Patch moved = second;
        moved.rect.moveLeft(2400);
        const QString last = dir + "/moved-patch.json";
        QVERIFY(PatchSetFile::write(last, {moved}, nullptr));

        const auto rowTexts = [](CVCImageWindow &window, int row) {
            const auto *rows = window.findChild<QTableWidget *>("patchTable");
            QStringList texts;
            for (int column = 0; column < rows->columnCount() - 1; ++column)
                texts << (rows->item(row, column) ? rows->item(row, column)->text() : QString());
            return texts;
        };
        const auto measured = [&rowTexts](CVCImageWindow &window, int rows) {
            for (int row = 0; row < rows; ++row)
                if (rowTexts(window, row)[6].isEmpty())
                    return false;
            return window.findChild<QTableWidget *>("patchTable")->rowCount() == rows;
        };

        CVCImageWindow window;
        QVERIFY(showActive(window));
        window.openImageFile(slowImage);
        window.openPatchSet(both);
        // The edits come while the rows are being measured.
        QTRY_VERIFY(window.findChild<QPushButton *>("cancelWorkPB")->isVisible());
        auto *rows = window.findChild<QTableWidget *>("patchTable");
        const auto cellCentre = [rows, &window](int row, int column) {
            return rows->viewport()->mapTo(&window, rows->visualItemRect(rows->item(row, column)).center());
        };
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier, cellCentre(1, 0));
        QTest::keyClick(window.windowHandle(), Qt::Key_Delete);
        QCOMPARE(rows->rowCount(), 2);
        QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier, cellCentre(1, 1));
        QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
        for (const char character : QByteArray("2400"))
            QTest::keyClick(window.windowHandle(), character);
        QTest::keyClick(window.windowHandle(), Qt::Key_Return);
        QVERIFY(!measured(window, 2));
        QTRY_VERIFY_WITH_TIMEOUT(measured(window, 2), 20000);

        CVCImageWindow fresh;
        fresh.resize(1113, 806);
        fresh.show();
        fresh.openImageFile(slowImage);
        fresh.openPatchSet(last);
        QTRY_VERIFY_WITH_TIMEOUT(measured(fresh, 2), 20000);
        QCOMPARE(rowTexts(window, 1), rowTexts(fresh, 1));
        QCOMPARE(rowTexts(window, 0), rowTexts(fresh, 0));
    }

    // Readers go back in their files; the bar moves on or stays.
    void progressNeverGoesBack()
    {
        WorkControl control;
        control.setPhase(0, 400);
        control.reportPhase(0.9);
        control.reportPhase(0.1);
        QCOMPARE(control.progress(), 360);
        control.reportPhase(2.0);
        QCOMPARE(control.progress(), 400);
        control.setPhase(400, 1000);
        control.reportPhase(0.5);
        QCOMPARE(control.progress(), 700);
    }
};

QTEST_MAIN(TestBackground)
#include "test_background.moc"
