// The picture drawn at the size it is shown: scene coordinates are image
// pixels, and every zoom draws the visible area again, exactly converted.
#include "displaybytes.h"
#include "displayconversion.h"
#include "imagefiles.h"
#include "lcmshandles.h"
#include "modaldialogs.h"
#include "profiles.h"
#include "testenvironment.h"
#include "tifffiles.h"
#include "widgetprofile.h"
#include "windowtestaccess.h"

#include <QtTest>
#include <QtWidgets>

#include <cstring>

namespace {

// An RGB TIFF through a wide profile: each pixel its own colour, or tiles of one colour each.
QString writePicture(const QString &name, int width, int height, bool tiles)
{
    TiffPage page;
    page.width = width;
    page.height = height;
    page.photometric = PHOTOMETRIC_RGB;
    page.colourSamples = 3;
    ProfileHandle wide(makeWideRgbProfile("wide"));
    page.icc = profileBytes(wide.get());
    if (tiles)
        page.sample = [](int x, int y, int s) { return (x / 60 * 37 + y / 60 * 91 + s * 70) % 256; };
    else
        page.sample = [](int x, int y, int s) { return (x * 7 + y * 13 + s * 50) % 256; };
    const QString path = testDirectory() + "/" + name;
    return writeTiff(path, {page}) ? path : QString();
}

// What the window shows of image pixel (x, y), converted alone through the
// picture's profile (or the one given) to the window's monitor.
quint32 convertedPixel(CVCImageWindow &window, QPoint pixel, cmsHPROFILE input = nullptr)
{
    WindowTestAccess access(window);
    const PixelValues values = readPixelValues({access.sourceImage(), {}, {}, 3}, pixel.x(), pixel.y());
    ProfileHandle monitor(getWidgetProfile(&window));
    float scale = 1.0f;
    const TransformHandle transform =
        makeDisplayTransform(input ? input : access.sourceProfile(), monitor.get(), 3, &scale);
    float rgb[3];
    convertToDisplay(transform.get(), scale, values.channel, rgb);
    return opaqueDisplayBytes(rgb);
}

class Shown
{
public:
    explicit Shown(CVCImageWindow &window)
        : view(WindowTestAccess(window).ui().graphicsView), pictures(WindowTestAccess(window).pictureView())
    {
    }

    // Whether the rendering in view is of the visible area, in whole image
    // pixels, with one rendered pixel to a device pixel at the view's zoom.
    bool followsTheView() const
    {
        const QRectF visible = view->mapToScene(view->viewport()->rect()).boundingRect() & view->sceneRect();
        const QRectF area = pictures.shownArea();
        const double devicePixels = view->transform().m11() * view->viewport()->devicePixelRatioF();
        const QSize size = pictures.shownRendering().size();
        return area.contains(visible) && visible.adjusted(-1, -1, 1, 1).contains(area) &&
               qAbs(size.width() - area.width() * devicePixels) <= 0.5 &&
               qAbs(size.height() - area.height() * devicePixels) <= 0.5;
    }

    // The rendered pixel drawn at a scene point, as its bytes.
    quint32 renderedAt(QPointF scenePoint) const
    {
        const QRectF area = pictures.shownArea();
        const QImage &rendering = pictures.shownRendering();
        const int i = int((scenePoint.x() - area.x()) * rendering.width() / area.width());
        const int j = int((scenePoint.y() - area.y()) * rendering.height() / area.height());
        quint32 bytes;
        std::memcpy(&bytes, rendering.constScanLine(j) + 4 * i, 4);
        return bytes;
    }

    // The image pixel at the middle of the viewport.
    QPoint middlePixel() const
    {
        const QPointF scene = view->mapToScene(view->viewport()->rect().center());
        return QPoint(int(std::floor(scene.x())), int(std::floor(scene.y())));
    }

    QGraphicsView *view;
    PictureView &pictures;
};

QPointF centreOf(QPoint pixel)
{
    return QPointF(pixel) + QPointF(0.5, 0.5);
}

} // namespace

class TestPictureView : public QObject
{
    Q_OBJECT

    QString pixels;
    QString tiles;

    bool showOpened(CVCImageWindow &window, const QString &path)
    {
        window.resize(1113, 806);
        window.show();
        // Keys reach the shortcuts of the active window only.
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        window.openImageFile(path);
        return true;
    }

    QString pointerText(CVCImageWindow &window) { return window.findChild<QLabel *>("pointerL")->text(); }

private slots:
    void initTestCase()
    {
        setUpTestEnvironment();
        pixels = writePicture("pixels.tif", 300, 200, false);
        tiles = writePicture("tiles.tif", 1200, 900, true);
        QVERIFY(!pixels.isEmpty() && !tiles.isEmpty());
    }

    // An image pixel mapped through the view and back is the same pixel, the
    // pointer names it, and the rendering shows it there, converted alone.
    void sceneCoordinatesAreImagePixels()
    {
        CVCImageWindow window;
        QVERIFY(showOpened(window, pixels));
        const Shown shown(window);
        QCOMPARE(shown.view->sceneRect(), QRectF(0, 0, 300, 200));
        QTest::keyClick(window.windowHandle(), Qt::Key_1, Qt::ControlModifier);
        QTRY_VERIFY(shown.followsTheView());
        const QPoint pixel = shown.middlePixel() + QPoint(3, -2);
        // Viewport points are whole: a point off the pixel's centre does not round into the next pixel.
        const QPoint atViewport = shown.view->mapFromScene(QPointF(pixel) + QPointF(0.25, 0.25));
        const QPointF back = shown.view->mapToScene(atViewport);
        QCOMPARE(QPoint(int(std::floor(back.x())), int(std::floor(back.y()))), pixel);
        QTest::mouseMove(window.windowHandle(), shown.view->viewport()->mapTo(&window, atViewport));
        QVERIFY(pointerText(window).contains(QString("x %1, y %2").arg(pixel.x()).arg(pixel.y())));
        QCOMPARE(shown.renderedAt(centreOf(pixel)), convertedPixel(window, pixel));
    }

    // Zoomed in by the keys, the visible area is drawn again with each image
    // pixel a block of its own colour; zoomed out, each rendered pixel is the
    // average of the pixels it covers.
    void zoomKeysDrawTheVisibleAreaAgain()
    {
        CVCImageWindow window;
        QVERIFY(showOpened(window, pixels));
        const Shown shown(window);
        QTest::keyClick(window.windowHandle(), Qt::Key_1, Qt::ControlModifier);
        QTRY_VERIFY(shown.followsTheView());
        const QImage atActualSize = shown.pictures.shownRendering();
        QTest::keyClick(window.windowHandle(), Qt::Key_Plus);
        QTest::keyClick(window.windowHandle(), Qt::Key_Plus);
        QCOMPARE(shown.view->transform().m11(), 1.5625);
        // Drawing again is no work the user waits for.
        QVERIFY(!QGuiApplication::overrideCursor());
        QTRY_VERIFY(shown.followsTheView());
        QVERIFY(shown.pictures.shownRendering().width() > atActualSize.width());
        for (QPoint offset : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(-5, 4)}) {
            const QPoint pixel = shown.middlePixel() + offset;
            QCOMPARE(shown.renderedAt(centreOf(pixel)), convertedPixel(window, pixel));
        }
    }

    // Every call waiting for the next picture is made once it is in view, in
    // the order the calls came; with nothing being drawn, at once.
    void waitingCallsAreAllMade()
    {
        CVCImageWindow window;
        QVERIFY(showOpened(window, pixels));
        const Shown shown(window);
        QTRY_VERIFY(shown.followsTheView());
        QStringList calls;
        QTest::keyClick(window.windowHandle(), Qt::Key_Plus);
        QVERIFY(shown.pictures.drawing());
        shown.pictures.whenNextShown([&calls] { calls << "first"; });
        shown.pictures.whenNextShown([&calls] { calls << "second"; });
        QVERIFY(calls.isEmpty());
        QTRY_COMPARE(calls, QStringList({"first", "second"}));
        QTRY_VERIFY(!shown.pictures.drawing());
        shown.pictures.whenNextShown([&calls] { calls << "third"; });
        QCOMPARE(calls.size(), 3);
    }

    void fittedPictureIsAveraged()
    {
        CVCImageWindow window;
        QVERIFY(showOpened(window, tiles));
        const Shown shown(window);
        QTRY_VERIFY(shown.followsTheView());
        QVERIFY(shown.view->transform().m11() < 1.0);
        QVERIFY(shown.pictures.shownRendering().width() < 1200);
        // A rendered pixel in the middle of a tile averages that tile's colour alone.
        for (QPoint tileMiddle : {QPoint(30, 30), QPoint(630, 390), QPoint(1170, 870)})
            QCOMPARE(shown.renderedAt(centreOf(tileMiddle)), convertedPixel(window, tileMiddle));
    }

    // The first fitted picture, in a new window and after another picture,
    // is drawn from the boxes gathered while the file was read, at the size
    // the view then asks for, and looks as if drawn from the rows.
    void firstFittedPictureIsGatheredDuringTheLoad()
    {
        const QString manyPixels = writePicture("manypixels.tif", 1500, 1100, false);
        CVCImageWindow window;
        QVERIFY(showOpened(window, tiles));
        WindowTestAccess access(window);
        const Shown shown(window);
        for (const QString &path : {tiles, manyPixels}) {
            if (path != tiles)
                window.openImageFile(path);
            QTRY_VERIFY(shown.followsTheView() && shown.pictures.shownArea().size() == QSizeF(access.sourceImage().size()));
            QVERIFY(access.firstDrawing());
            QCOMPARE(access.firstDrawing()->outputSize(), shown.pictures.shownRendering().size());
            QVERIFY(access.firstDrawing()->complete());
            QCOMPARE(shown.pictures.shownRendering(),
                     access.drawnFromRows(shown.pictures.shownArea(), shown.pictures.shownRendering().size()));
        }
    }

    // A picture the memory budget cannot keep is measured all the same, and
    // drawn from its file; the pointer then tells the place of a pixel only.
    void pictureBeyondTheBudgetIsMeasuredAndDrawn()
    {
        CVCImageWindow kept;
        QVERIFY(showOpened(kept, tiles));
        WindowTestAccess keptAccess(kept);
        qputenv("LUMIVANT_MEMORY_LIMIT_MB", "1");
        CVCImageWindow window;
        const bool opened = showOpened(window, tiles);
        qunsetenv("LUMIVANT_MEMORY_LIMIT_MB");
        QVERIFY(opened);
        WindowTestAccess access(window);
        QVERIFY(access.sourceImage().isNull());
        for (const char *value : {"lL", "aL", "bL"})
            QCOMPARE(window.findChild<QLabel *>(value)->text(), kept.findChild<QLabel *>(value)->text());
        const Shown shown(window);
        QTRY_VERIFY(shown.followsTheView());
        for (QPoint tileMiddle : {QPoint(30, 30), QPoint(630, 390), QPoint(1170, 870)})
            QCOMPARE(shown.renderedAt(centreOf(tileMiddle)), convertedPixel(kept, tileMiddle));
        QTest::keyClick(window.windowHandle(), Qt::Key_1, Qt::ControlModifier);
        QTRY_VERIFY(shown.followsTheView());
        const QPoint pixel = shown.middlePixel();
        const QPoint atViewport = shown.view->mapFromScene(QPointF(pixel) + QPointF(0.25, 0.25));
        QTest::mouseMove(window.windowHandle(), shown.view->viewport()->mapTo(&window, atViewport));
        QVERIFY2(pointerText(window).endsWith(QString("x %1, y %2").arg(pixel.x()).arg(pixel.y())),
                 qPrintable(pointerText(window)));
    }

    // Steps in a row cancel the renderings under way: the one left in view is the last step's.
    void burstOfZoomStepsEndsWithTheLast()
    {
        CVCImageWindow window;
        QVERIFY(showOpened(window, tiles));
        const Shown shown(window);
        QTRY_VERIFY(shown.followsTheView());
        for (int step = 0; step < 6; ++step)
            QTest::keyClick(window.windowHandle(), Qt::Key_Plus);
        QTRY_VERIFY(shown.followsTheView());
        const QPoint pixel = shown.middlePixel();
        QCOMPARE(shown.renderedAt(centreOf(pixel)), convertedPixel(window, pixel));
        QApplication::processEvents();
        QVERIFY(shown.followsTheView());
    }

    // Another profile for the picture draws it again; a failed load leaves the view empty.
    void profileChoiceAndFailedLoad()
    {
        CVCImageWindow window;
        QVERIFY(showOpened(window, pixels));
        const Shown shown(window);
        QTRY_VERIFY(shown.followsTheView());
        Ui::ImageWindow &ui = WindowTestAccess(window).ui();
        const QPoint pixel = shown.middlePixel();
        const quint32 throughWide = convertedPixel(window, pixel);
        QCOMPARE(shown.renderedAt(centreOf(pixel)), throughWide);
        ProfileHandle srgb(cmsCreate_sRGBProfile());
        const quint32 throughSrgb = convertedPixel(window, pixel, srgb.get());
        QVERIFY(throughSrgb != throughWide);

        QTest::mouseClick(ui.embeddedCB, Qt::LeftButton);
        const QString srgbFile = saveProfile(cmsCreate_sRGBProfile(), testDirectory(), "srgb.icc");
        QCOMPARE(clickThroughDialog(ui.loadImageICCPB, srgbFile), QStringList());
        QTRY_COMPARE(shown.renderedAt(centreOf(pixel)), throughSrgb);
        QTest::mouseClick(ui.embeddedCB, Qt::LeftButton);
        QTRY_COMPARE(shown.renderedAt(centreOf(pixel)), throughWide);

        const QString broken = writeFile(testDirectory() + "/broken.tif", QByteArray("II*\0broken", 10));
        QCOMPARE(clickThroughDialog(ui.loadImagePB, broken).size(), 1);
        QVERIFY(!shown.pictures.showsPicture());
        QVERIFY(shown.view->scene()->items().isEmpty());
    }
};

QTEST_MAIN(TestPictureView)
#include "test_pictureview.moc"
