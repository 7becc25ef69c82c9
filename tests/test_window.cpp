// The constructed main window: title, empty panel, wiring, settings, shell actions.
#include "CVCImageWindow.h"
#include "ui_ImageWindow.h"

#include "modaldialogs.h"
#include "testenvironment.h"

#include <QtTest>
#include <QtWidgets>

class TestWindow : public QObject
{
    Q_OBJECT

    template <typename T>
    static T *child(QObject &window, const char *name)
    {
        return window.findChild<T *>(name);
    }

private slots:
    void initTestCase() { setUpTestEnvironment(); }

    void init() { QSettings().clear(); }

    void titleHeaderAndEmptyPanel()
    {
        CVCImageWindow window;
        QCOMPARE(window.windowTitle(), QString("Veltrane Lumivant"));
        for (const char *header : {"lhwL", "mhL", "rhwL", "rhL"})
            QVERIFY2(!child<QLabel>(window, header)->pixmap(Qt::ReturnByValue).isNull(), header);

        QCOMPARE(child<QLabel>(window, "imageL")->text(), QString("none"));
        for (const char *label : {"embeddedL", "loadedImageL", "loadedDestinationL"})
            QCOMPARE(child<QLabel>(window, label)->text(), QString("no profile"));
        for (const char *hidden : {"embeddedF", "embeddedCB", "loadImageF", "outputCB", "loadDestinationF",
                                   "destinationF", "labF", "cmykF", "zoomF"})
            QVERIFY2(child<QWidget>(window, hidden)->isHidden(), hidden);
        QVERIFY(child<QWidget>(window, "loadImageF")->isEnabled());
        QVERIFY(child<QCheckBox>(window, "embeddedCB")->isChecked());
        QVERIFY(child<QCheckBox>(window, "separationCB")->isChecked());
        QCOMPARE(child<QComboBox>(window, "renderingCB")->currentIndex(), 1);
        QCOMPARE(child<QComboBox>(window, "renderingCB")->focusPolicy(), Qt::StrongFocus);
        QVERIFY(!child<QAction>(window, "actionPreferences")->isEnabled());
        for (const char *edit : {"actionEditCut", "actionEditCopy", "actionEditPaste", "actionEditDelete",
                                 "actionEditSelectAll"})
            QVERIFY(child<QAction>(window, edit)->isEnabled());
    }

    void slotTableOrder()
    {
        const QMetaObject &meta = CVCImageWindow::staticMetaObject;
        const char *slotSignatures[] = {"actionAboutTriggered()", "actionHelpTriggered()", "actionLoadImage()",
                               "actionEmbeddedCB()", "actionLoadImageICC()", "actionSeparationCB()",
                               "actionOutputCB()", "actionLoadDestinationICC()", "actionRenderingCB(int)",
                               "rBClicked(bool)"};
        QCOMPARE(meta.methodCount() - meta.methodOffset(), 10);
        for (int i = 0; i < 10; ++i) {
            const QMetaMethod method = meta.method(meta.methodOffset() + i);
            QCOMPARE(method.methodSignature(), QByteArray(slotSignatures[i]));
            QCOMPARE(method.access(), QMetaMethod::Private);
        }
        QCOMPARE(QString(meta.superClass()->className()), QString("QMainWindow"));
    }

    void connectionsBySignature_data()
    {
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QByteArray>("signal");
        QTest::addColumn<QByteArray>("slot");
        QTest::newRow("about") << "actionAbout" << QByteArray(SIGNAL(triggered())) << QByteArray(SLOT(actionAboutTriggered()));
        QTest::newRow("quit") << "actionQuit" << QByteArray(SIGNAL(triggered())) << QByteArray(SLOT(close()));
        QTest::newRow("help") << "actionHelp" << QByteArray(SIGNAL(triggered())) << QByteArray(SLOT(actionHelpTriggered()));
        QTest::newRow("load image") << "loadImagePB" << QByteArray(SIGNAL(clicked())) << QByteArray(SLOT(actionLoadImage()));
        QTest::newRow("embedded") << "embeddedCB" << QByteArray(SIGNAL(clicked())) << QByteArray(SLOT(actionEmbeddedCB()));
        QTest::newRow("image profile") << "loadImageICCPB" << QByteArray(SIGNAL(clicked())) << QByteArray(SLOT(actionLoadImageICC()));
        QTest::newRow("separation") << "separationCB" << QByteArray(SIGNAL(clicked())) << QByteArray(SLOT(actionSeparationCB()));
        QTest::newRow("output") << "outputCB" << QByteArray(SIGNAL(clicked())) << QByteArray(SLOT(actionOutputCB()));
        QTest::newRow("destination") << "loadDestinationICCPB" << QByteArray(SIGNAL(clicked())) << QByteArray(SLOT(actionLoadDestinationICC()));
        QTest::newRow("rendering") << "renderingCB" << QByteArray(SIGNAL(currentIndexChanged(int))) << QByteArray(SLOT(actionRenderingCB(int)));
        QTest::newRow("lab") << "labRB" << QByteArray(SIGNAL(clicked(bool))) << QByteArray(SLOT(rBClicked(bool)));
        QTest::newRow("lch") << "lchRB" << QByteArray(SIGNAL(clicked(bool))) << QByteArray(SLOT(rBClicked(bool)));
    }

    // Disconnecting succeeds only where the window made exactly this connection.
    void connectionsBySignature()
    {
        QFETCH(QString, sender);
        QFETCH(QByteArray, signal);
        QFETCH(QByteArray, slot);
        CVCImageWindow window;
        QObject *source = window.findChild<QObject *>(sender);
        QVERIFY(source);
        QVERIFY(QObject::disconnect(source, signal.constData(), &window, slot.constData()));
        QVERIFY(!QObject::disconnect(source, signal.constData(), &window, slot.constData()));
    }

    void firstRunRemembersDesktop()
    {
        { CVCImageWindow window; }
        const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        QCOMPARE(QSettings().value("LastImageDir").toString(), desktop);
        QCOMPARE(QSettings().value("LastProfileDir").toString(), desktop);
    }

    void storedDirectoriesSurviveARun()
    {
        QSettings().setValue("LastImageDir", "/data/images");
        QSettings().setValue("LastProfileDir", "/data/profiles");
        { CVCImageWindow window; }
        QCOMPARE(QSettings().value("LastImageDir").toString(), QString("/data/images"));
        QCOMPARE(QSettings().value("LastProfileDir").toString(), QString("/data/profiles"));
    }

    void aboutShowsSplashInModalDialog()
    {
        CVCImageWindow window;
        window.show();
        bool seen = false;
        whenModalAppears([&](QWidget *modal) {
            seen = true;
            QCOMPARE(modal->parentWidget(), &window);
            QCOMPARE(modal->windowModality(), Qt::ApplicationModal);
            QCOMPARE(modal->layout()->contentsMargins(), QMargins());
            auto labels = modal->findChildren<QLabel *>();
            QCOMPARE(labels.size(), 1);
            QVERIFY(!labels[0]->pixmap(Qt::ReturnByValue).isNull());
            QVERIFY(modal->findChildren<QAbstractButton *>().isEmpty());
            qobject_cast<QDialog *>(modal)->reject();
        });
        child<QAction>(window, "actionAbout")->trigger();
        QVERIFY(seen);
    }

    void helpShowsNothing()
    {
        CVCImageWindow window;
        window.show();
        child<QAction>(window, "actionHelp")->trigger();
        QTest::qWait(50);
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(QApplication::topLevelWidgets().count(&window), 1);
    }

    void quitClosesWindow()
    {
        CVCImageWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        child<QAction>(window, "actionQuit")->trigger();
        QVERIFY(!window.isVisible());
    }

    void resizeWithoutImageOnlyLaysOut()
    {
        CVCImageWindow window;
        window.show();
        window.resize(700, 500);
        window.resize(1400, 900);
        QVERIFY(!child<QGraphicsView>(window, "graphicsView")->scene());
        QCOMPARE(child<QLabel>(window, "imageL")->text(), QString("none"));
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
