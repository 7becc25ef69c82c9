// The window's display pass: transform set-up, the picture in the view, the sums.
#include "imagefiles.h"
#include "lcmshandles.h"
#include "modaldialogs.h"
#include "profiles.h"
#include "resourcedir.h"
#include "testenvironment.h"
#include "tifffiles.h"
#include "windowtestaccess.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// What a CMYK pixel looks like on an sRGB monitor under the given intent, in 8-bit levels.
QColor cmykOnSrgb(const float inks[4], cmsUInt32Number intent)
{
    ProfileHandle cmyk(openDefaultCmyk());
    ProfileHandle srgb(cmsCreate_sRGBProfile());
    TransformHandle transform(cmsCreateTransform(cmyk.get(), TYPE_CMYK_FLT, srgb.get(), TYPE_RGB_FLT, intent, 0));
    float rgb[3];
    cmsDoTransform(transform.get(), inks, rgb, 1);
    QColor colour;
    colour.setRgbF(qBound(0.0, double(rgb[0]), 1.0), qBound(0.0, double(rgb[1]), 1.0), qBound(0.0, double(rgb[2]), 1.0));
    return colour;
}

const int blackLevel = 250;
float scaledBlack()
{
    return float(double(float(blackLevel / 255.0)) * 100.0);
}

bool near(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) <= 1 && qAbs(a.green() - b.green()) <= 1 && qAbs(a.blue() - b.blue()) <= 1;
}

} // namespace

class TestDisplay : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpTestEnvironment(); }

    void srgbImageShownFittedWithSums()
    {
        CVCImageWindow window;
        window.show();
        WindowTestAccess access(window);
        access.holdImage(solidImage(40, 20, QColor(200, 120, 40)), 3, cmsCreate_sRGBProfile());
        access.buildDisplayImage();
        QCOMPARE(access.pixelCount(), 800);
        QCOMPARE(access.channelSum(0), 800 * 200.0);
        QCOMPARE(access.inputScale(), 1.0f / 255.0f);
        QVERIFY(near(access.displayImage().pixelColor(5, 5), QColor(200, 120, 40)));

        QGraphicsView *view = access.ui().graphicsView;
        QVERIFY(view->scene());
        QCOMPARE(view->scene()->items().size(), 1);
        for (QSize size : {QSize(1113, 806), QSize(1500, 700), QSize(900, 1000)}) {
            window.resize(size);
            QApplication::processEvents();
            const QRect shown = view->mapFromScene(view->sceneRect()).boundingRect();
            const QRect viewport = view->viewport()->rect();
            QVERIFY(viewport.adjusted(-2, -2, 2, 2).contains(shown));
            // Fitted: the picture spans the viewport in at least one direction.
            QVERIFY(qAbs(shown.width() - viewport.width()) <= 3 || qAbs(shown.height() - viewport.height()) <= 3);
        }
    }

    // After a load the panel takes the width of its new texts; the picture must
    // still be whole, and captions whole beside values of any length.
    void wholePictureAndCaptionsAfterLoad_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("profileName");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("value");
        QTest::newRow("long file name") << "proof for the spring catalogue, cover, final, approved by the art director.jpg"
                                        << "Studio RGB" << "label" << "imageL";
        QTest::newRow("long profile name") << "wide.jpg"
                                           << "Press characterisation of a very wide studio RGB space, version four"
                                           << "label_2" << "embeddedL";
    }

    void wholePictureAndCaptionsAfterLoad()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, profileName);
        QFETCH(QString, caption);
        QFETCH(QString, value);
        ProfileHandle wide(makeWideRgbProfile(profileName.toLatin1().constData()));
        const QString path = writeJpeg(testDirectory(), fileName, solidImage(1800, 600, QColor(90, 140, 200)),
                                       QString(), profileBytes(wide.get()));
        CVCImageWindow window;
        window.resize(1113, 806);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        WindowTestAccess access(window);
        QCOMPARE(clickThroughDialog(access.ui().loadImagePB, path), QStringList());

        QGraphicsView *view = access.ui().graphicsView;
        const auto shown = [view] { return view->mapFromScene(view->sceneRect()).boundingRect(); };
        // Fitted to the largest size: a wide picture spans the viewport, less Qt's margin.
        const auto fitted = [&] {
            return view->viewport()->rect().adjusted(-2, -2, 2, 2).contains(shown()) &&
                   shown().width() >= view->viewport()->width() - 4 && !view->horizontalScrollBar()->isVisible();
        };
        QTRY_VERIFY(fitted());
        // Whatever narrows the view, the window keeping its size.
        access.ui().panelFrame->setMinimumWidth(640);
        QTRY_VERIFY(view->width() < 500);
        QTRY_VERIFY(fitted());

        auto *captionLabel = window.findChild<QLabel *>(caption);
        QVERIFY(captionLabel->width() >= captionLabel->fontMetrics().horizontalAdvance(captionLabel->text()));
        auto *valueLabel = window.findChild<QLabel *>(value);
        const QString text = value == "imageL" ? fileName : profileName;
        QCOMPARE(valueLabel->text(), text);
        valueLabel->grab();
        QCOMPARE(valueLabel->toolTip(), text);
        QVERIFY(valueLabel->geometry().right() <= valueLabel->parentWidget()->contentsRect().right());
    }

    // A name is elided only when the whole row cannot hold it: the caption
    // gives up the room the form keeps for alignment, down to its text and a
    // space. Captions of the inks are never cut, even in a small window.
    void valuesElideOnlyWhenTheRowIsFull_data()
    {
        QTest::addColumn<QSize>("windowSize");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("elided");
        QTest::newRow("fits beside the caption") << QSize(1270, 800) << "european-honey-bee.tif" << false;
        QTest::newRow("fits in a small window") << QSize(1024, 700) << "european-honey-bee.tif" << false;
        QTest::newRow("longer than the row") << QSize(1270, 800)
                                             << "european-honey-bee-on-a-flower-in-the-evening-light.tif" << true;
    }

    void valuesElideOnlyWhenTheRowIsFull()
    {
        QFETCH(QSize, windowSize);
        QFETCH(QString, fileName);
        QFETCH(bool, elided);
        TiffPage inks;
        inks.sample = [](int, int, int s) { return s == 0 ? 51 : s == 3 ? 26 : 0; };
        QVERIFY(writeTiff(testDirectory() + "/" + fileName, {inks}));
        CVCImageWindow window;
        window.resize(windowSize);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        WindowTestAccess access(window);
        Ui::ImageWindow &ui = access.ui();
        window.openImageFile(testDirectory() + "/" + fileName);
        QTest::mouseClick(ui.separationCB, Qt::LeftButton);
        // The tool tip holds the whole name once an elided one is painted.
        const auto toolTipWhenPainted = [&ui] {
            ui.imageL->grab();
            return ui.imageL->toolTip();
        };
        QTRY_COMPARE(toolTipWhenPainted(), elided ? fileName : QString());
        const int space = ui.label_2->fontMetrics().horizontalAdvance(' ');
        QVERIFY(ui.embeddedL->x() >= ui.label_2->x() + ui.label_2->fontMetrics().horizontalAdvance(ui.label_2->text()) + space);
        QCOMPARE(ui.tL->text(), QString("30%"));
        for (QLabel *caption : {ui.label_13, ui.label_15, ui.label_17, ui.label_19, ui.label_20})
            QVERIFY2(caption->contentsRect().width() >= caption->fontMetrics().horizontalAdvance(caption->text()),
                     qPrintable(caption->text()));
        // Without the embedded profile, the button to load one by hand shows; no button's text is cut.
        QTest::mouseClick(ui.embeddedCB, Qt::LeftButton);
        QTRY_VERIFY(ui.loadImageICCPB->isVisible());
        for (QPushButton *button : {ui.loadImagePB, ui.loadImageICCPB, ui.loadDestinationICCPB})
            QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
    }

    void rebuildStartsSumsAfresh()
    {
        CVCImageWindow window;
        WindowTestAccess access(window);
        access.holdImage(solidImage(3, 3, QColor(10, 20, 30)), 3, cmsCreate_sRGBProfile());
        access.buildDisplayImage();
        access.buildDisplayImage();
        QCOMPARE(access.pixelCount(), 9);
        QCOMPARE(access.channelSum(2), 270.0);
        access.holdImage(solidImage(2, 1, QColor(0, 255, 0)), 3, cmsCreate_sRGBProfile());
        access.buildDisplayImage();
        QCOMPARE(access.pixelCount(), 0);
        QCOMPARE(access.channelSum(2), 0.0);
        // The previous scene and its picture are gone; only the new picture is shown.
        QCOMPARE(access.ui().graphicsView->scene()->items().size(), 1);
        QTRY_COMPARE(access.ui().graphicsView->scene()->itemsBoundingRect().size(), QSizeF(2, 1));
    }

    void emptyImageGivesEmptyView()
    {
        CVCImageWindow window;
        WindowTestAccess access(window);
        access.holdImage(QImage(), 3, cmsCreate_sRGBProfile());
        access.buildDisplayImage();
        QCOMPARE(access.pixelCount(), 0);
        QVERIFY(access.ui().graphicsView->scene()->itemsBoundingRect().isEmpty());
    }

    // A profile that does not fit the channel count has no display transform:
    // the picture is shown as read, and its pixels are still measured.
    void failedDisplayTransformStillMeasures()
    {
        CVCImageWindow window;
        WindowTestAccess access(window);
        access.holdImage(solidImage(4, 4, QColor(50, 60, 70)), 3, cmsCreate_sRGBProfile());
        access.buildDisplayImage();

        const QImage picture = solidImage(2, 3, QColor(90, 80, 70));
        access.holdImage(picture, 3, makeGrayProfile("grey"));
        QTest::ignoreMessage(QtDebugMsg, "No Display TRANSFORM!");
        access.buildDisplayImage();
        QCOMPARE(access.displayImage().convertToFormat(picture.format()), picture);
        QVERIFY(!access.displayTransform());
        QCOMPARE(access.pixelCount(), 6);
        QCOMPARE(access.channelSum(0), 6 * 90.0);
    }

    void missingProfileWarnsAfterShowing()
    {
        CVCImageWindow window;
        WindowTestAccess access(window);
        const QImage picture = solidImage(2, 2, QColor(1, 2, 3));
        access.holdImage(picture, 3, nullptr);
        startRecordingWarnings();
        QTest::ignoreMessage(QtDebugMsg, "No SRC!");
        access.buildDisplayImage();
        QCOMPARE(stopRecordingWarnings(), QStringList({"noProfile"}));
        QCOMPARE(access.displayImage().convertToFormat(picture.format()), picture);
        QCOMPARE(access.pixelCount(), 4);
    }

    void displayIntentIsAlwaysRelative()
    {
        // Near the press's black point the two intents part clearly.
        const float richBlack[4] = {100, 100, 100, scaledBlack()};
        const QColor relative = cmykOnSrgb(richBlack, INTENT_RELATIVE_COLORIMETRIC);
        QVERIFY(!near(relative, cmykOnSrgb(richBlack, INTENT_PERCEPTUAL)));

        CVCImageWindow window;
        WindowTestAccess access(window);
        access.ui().renderingCB->setCurrentIndex(0);
        QImage page1(1, 1, QImage::Format_RGB32), page2(1, 1, QImage::Format_RGB32);
        page1.setPixel(0, 0, qRgb(255, 255, 255));
        page2.setPixel(0, 0, qRgb(blackLevel, 255, 0));
        access.holdImage(solidImage(1, 1, Qt::white), 4, openDefaultCmyk(), page1, page2);
        access.buildDisplayImage();
        QCOMPARE(access.inputScale(), 1.0f);
        QVERIFY(near(access.displayImage().pixelColor(0, 0), relative));
    }

    void fallbackMonitorProfileIsLogged()
    {
        CVCImageWindow window;
        WindowTestAccess access(window);
        QTest::ignoreMessage(QtDebugMsg, "Using standard sRGB profile");
        QTest::ignoreMessage(QtDebugMsg, "No SRC!");
        QCOMPARE(access.setupDisplayTransform(nullptr), -1);
    }
};

QTEST_MAIN(TestDisplay)
#include "test_display.moc"
