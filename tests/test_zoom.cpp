// Zoom and pan of the picture, and the status bar's account of the pixel under the pointer.
#include "StatusMessageElision.h"
#include "testenvironment.h"
#include "tifffiles.h"
#include "windowtestaccess.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// A 40 × 30 grey RGB picture with one red pixel at (1, 2), with icc as its embedded profile.
QString writeGreyWithRedPixel(const QString &name = "red-pixel.tif", const QByteArray &icc = QByteArray())
{
    TiffPage page;
    page.icc = icc;
    page.width = 40;
    page.height = 30;
    page.photometric = PHOTOMETRIC_RGB;
    page.colourSamples = 3;
    page.sample = [](int x, int y, int s) { return x == 1 && y == 2 ? (s == 0 ? 255 : 0) : 128; };
    const QString path = testDirectory() + "/" + name;
    return writeTiff(path, {page}) ? path : QString();
}

QPoint inWindow(QWidget *widget, QPoint point)
{
    return widget->mapTo(widget->window(), point);
}

// Shows the window at a usual size with path opened; returns its view once settled.
QGraphicsView *showOpened(CVCImageWindow &window, const QString &path)
{
    window.resize(1113, 806);
    window.show();
    // Keys reach the shortcuts of the active window only.
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        return nullptr;
    window.openImageFile(path);
    // The zoom bar that comes with the picture narrows the view once more.
    QTest::qWait(20);
    return WindowTestAccess(window).ui().graphicsView;
}

} // namespace

class TestZoom : public QObject
{
    Q_OBJECT

    QString picture;

    QString pointerText(CVCImageWindow &window) { return window.findChild<QLabel *>("pointerL")->text(); }

private slots:
    void initTestCase()
    {
        setUpTestEnvironment();
        picture = writeGreyWithRedPixel();
        QVERIFY(!picture.isEmpty());
    }

    void keysSliderAndFit()
    {
        CVCImageWindow window;
        QGraphicsView *view = showOpened(window, picture);
        QVERIFY(view);
        Ui::ImageWindow &ui = WindowTestAccess(window).ui();
        QCOMPARE(view->sceneRect(), QRectF(0, 0, 40, 30));
        QVERIFY(!ui.zoomF->isHidden());
        const auto zoom = [view] { return view->transform().m11(); };
        const double fitted = zoom();
        QVERIFY(fitted > 10.0);

        QTest::keyClick(window.windowHandle(), Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(zoom(), 1.0);
        QVERIFY(pointerText(window).startsWith("100 %"));
        QTest::keyClick(window.windowHandle(), Qt::Key_Plus);
        QCOMPARE(zoom(), 1.25);
        QVERIFY(pointerText(window).startsWith("125 %"));
        QTest::keyClick(window.windowHandle(), Qt::Key_Minus);
        QCOMPARE(zoom(), 1.0);

        // The slider follows the zoom and, moved by the keyboard, leads it.
        const int atActualSize = ui.zoomSlider->value();
        ui.zoomSlider->setFocus();
        QTest::keyClick(ui.zoomSlider, Qt::Key_PageUp);
        QVERIFY(ui.zoomSlider->value() > atActualSize);
        QVERIFY(zoom() > 1.0);
        const double zoomed = zoom();

        // Zoomed, a resize keeps the zoom; fitted again, it follows the window.
        window.resize(900, 700);
        QTest::qWait(50);
        QCOMPARE(zoom(), zoomed);
        QTest::keyClick(window.windowHandle(), Qt::Key_0, Qt::ControlModifier);
        const double fittedSmaller = zoom();
        QVERIFY(fittedSmaller < fitted);
        const QRect shown = view->mapFromScene(view->sceneRect()).boundingRect();
        QVERIFY(view->viewport()->rect().adjusted(-2, -2, 2, 2).contains(shown));
        window.resize(1113, 806);
        QTRY_COMPARE(zoom(), fitted);
    }

    // A picture of a few pixels fits far beyond the largest zoom; zooming in
    // from there must not zoom out.
    void tinyPictureZoomsIn()
    {
        TiffPage tiny;
        tiny.photometric = PHOTOMETRIC_RGB;
        tiny.colourSamples = 3;
        const QString path = testDirectory() + "/tiny.tif";
        QVERIFY(writeTiff(path, {tiny}));
        CVCImageWindow window;
        QGraphicsView *view = showOpened(window, path);
        QVERIFY(view);
        const double fitted = view->transform().m11();
        QVERIFY(fitted > 32.0);
        QTest::keyClick(window.windowHandle(), Qt::Key_Plus);
        QVERIFY(view->transform().m11() >= fitted);
        QTest::keyClick(window.windowHandle(), Qt::Key_Minus);
        QVERIFY(view->transform().m11() < fitted);
    }

    // The wheel zooms around the pointer: the image point under it stays put.
    void wheelZoomsAroundThePointer()
    {
        CVCImageWindow window;
        QGraphicsView *view = showOpened(window, picture);
        QVERIFY(view);
        // A point well inside the picture: near an edge of a letterboxed picture
        // the view cannot scroll far enough to keep it in place.
        const QPoint pointer = view->mapFromScene(QPointF(12.3, 11.7));
        const QPointF before = view->mapToScene(pointer);
        // Two notches, handed to the window system's window as a mouse wheel's are.
        const QPoint place = inWindow(view->viewport(), pointer);
        QWheelEvent wheel(place, window.mapToGlobal(place), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(window.windowHandle(), &wheel);
        QVERIFY(view->transform().m11() > 15.0);
        const QPointF after = view->mapToScene(pointer);
        QVERIFY2(QLineF(before, after).length() < 1.0 / view->transform().m11() + 1e-9,
                 qPrintable(QString("%1,%2 -> %3,%4").arg(before.x()).arg(before.y()).arg(after.x()).arg(after.y())));
    }

    // The pixel under the pointer: its place, its levels and its L*a*b*
    // (sRGB red: 54.29, 80.81, 69.89).
    void pointerReadsThePixel()
    {
        CVCImageWindow window;
        QGraphicsView *view = showOpened(window, picture);
        QVERIFY(view);
        const QPoint overRed = view->mapFromScene(QPointF(1.5, 2.5));
        QTest::mouseMove(window.windowHandle(), inWindow(view->viewport(), overRed));
        const QString zoom = pointerText(window).section("   ", 0, 0);
        QCOMPARE(pointerText(window).section("   ", 1),
                 QString("x 1, y 2   R 255 G 0 B 0   L* 54.29 a* 80.81 b* 69.89"));
        QVERIFY(zoom.endsWith(" %"));
        QTest::mouseMove(window.windowHandle(), inWindow(view->viewport(), view->mapFromScene(QPointF(39.5, 29.5))));
        QVERIFY(pointerText(window).contains("x 39, y 29   R 128 G 128 B 128   L* "));
    }

    // The pixel is measured through the profile chosen: without the image's
    // own and with none loaded by hand there is no L*a*b* to tell.
    void pointerFollowsTheProfileChoice()
    {
        CVCImageWindow window;
        window.resize(1113, 806);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.openImageFile(picture);
        WindowTestAccess access(window);
        QGraphicsView *view = access.ui().graphicsView;
        // The panel changes with the switch and the fitted picture with it.
        const auto pointAtRed = [&] {
            QTest::mouseMove(window.windowHandle(), QPoint(1, 1));
            QTest::mouseMove(window.windowHandle(), inWindow(view->viewport(), view->mapFromScene(QPointF(1.5, 2.5))));
        };
        QTest::mouseClick(access.ui().embeddedCB, Qt::LeftButton);
        QVERIFY(!access.ui().embeddedCB->isChecked());
        pointAtRed();
        QCOMPARE(pointerText(window).section("   ", 1), QString("x 1, y 2   R 255 G 0 B 0"));
        QTest::mouseClick(access.ui().embeddedCB, Qt::LeftButton);
        pointAtRed();
        QCOMPARE(pointerText(window).section("   ", 1),
                 QString("x 1, y 2   R 255 G 0 B 0   L* 54.29 a* 80.81 b* 69.89"));
    }

    // A message longer than the room the readout leaves is drawn cut with an
    // ellipsis instead of running into it, and the whole of it is the tool tip.
    void messageGivesWayToTheReadout()
    {
        CVCImageWindow window;
        QGraphicsView *view = showOpened(window, picture);
        QVERIFY(view);
        window.resize(window.minimumSizeHint().width(), 806);
        QStatusBar *bar = window.statusBar();
        const QLabel *readout = window.findChild<QLabel *>("pointerL");
        const QString summary = bar->currentMessage();
        QVERIFY(summary.startsWith("red-pixel.tif — 40 × 30 px, 1 200 pixels measured in "));
        QTest::mouseMove(window.windowHandle(), inWindow(view->viewport(), view->mapFromScene(QPointF(1.5, 2.5))));
        QVERIFY(readout->text().endsWith("L* 54.29 a* 80.81 b* 69.89"));
        QTRY_VERIFY(StatusMessageElision::shownMessage(bar).endsWith(QChar(0x2026)));
        QVERIFY(summary.startsWith(StatusMessageElision::shownMessage(bar).chopped(1)));
        QVERIFY(bar->fontMetrics().horizontalAdvance(StatusMessageElision::shownMessage(bar)) < readout->x());
        QCOMPARE(bar->currentMessage(), summary);
    }

    // A message cut even beside the zoom alone shows whole in the tool tip of the status bar.
    void cutMessageIsTheToolTip()
    {
        CVCImageWindow window;
        QVERIFY(showOpened(window, writeGreyWithRedPixel("damaged-profile.tif", "not a profile")));
        window.resize(window.minimumSizeHint().width(), 806);
        QStatusBar *bar = window.statusBar();
        const QString notes = bar->currentMessage();
        QVERIFY(notes.startsWith("The profile embedded in the file is damaged; the default profile is used instead."));
        QTRY_VERIFY(StatusMessageElision::shownMessage(bar).endsWith(QChar(0x2026)));
        QTest::mouseMove(window.windowHandle(), inWindow(bar, QPoint(20, bar->height() / 2)));
        QTRY_COMPARE(QToolTip::text(), notes);
    }
};

QTEST_MAIN(TestZoom)
#include "test_zoom.moc"
