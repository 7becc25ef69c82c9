// The window form right after setupUi: objects, texts, fonts, layout behaviour.
#include "ui_ImageWindow.h"

#include "testenvironment.h"

#include <QtTest>

class TestForm : public QObject
{
    Q_OBJECT

    QMainWindow window;
    Ui::ImageWindow ui;

private slots:
    void initTestCase()
    {
        setUpTestEnvironment();
        ui.setupUi(&window);
    }

    void objectsHaveClassAndParent_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("parentName");
        const char *actions[] = {"actionQuit", "actionEditCut", "actionEditCopy", "actionEditPaste",
                                 "actionEditDelete", "actionEditSelectAll", "actionPreferences",
                                 "actionAbout", "actionHelp"};
        for (const char *action : actions)
            QTest::newRow(action) << "QAction" << "ImageWindow";
        const char *rows[][3] = {
            {"menubar", "QMenuBar", "ImageWindow"},       {"menuFile", "QMenu", "menubar"},
            {"menuEdit", "QMenu", "menubar"},             {"menuHelp", "QMenu", "menubar"},
            {"mainStatusBar", "QStatusBar", "ImageWindow"}, {"centralwidget", "QWidget", "ImageWindow"},
            {"lhwL", "QLabel", "centralwidget"},          {"mhL", "QLabel", "centralwidget"},
            {"rhwL", "QLabel", "centralwidget"},          {"rhL", "QLabel", "centralwidget"},
            {"graphicsView", "QGraphicsView", "centralwidget"}, {"zoomF", "QFrame", "centralwidget"},
            {"label_3", "QLabel", "zoomF"},               {"zoomSlider", "QSlider", "zoomF"},
            {"panelFrame", "QFrame", "centralwidget"},    {"sourceF", "QFrame", "panelFrame"},
            {"destinationF", "QFrame", "panelFrame"},     {"labF", "QFrame", "panelFrame"},
            {"cmykF", "QFrame", "panelFrame"},            {"frame", "QFrame", "sourceF"},
            {"imageF", "QFrame", "frame"},                {"label", "QLabel", "imageF"},
            {"imageL", "QLabel", "imageF"},               {"loadImagePB", "QPushButton", "frame"},
            {"embeddedCB", "QCheckBox", "sourceF"},       {"embeddedF", "QFrame", "sourceF"},
            {"label_2", "QLabel", "embeddedF"},           {"embeddedL", "QLabel", "embeddedF"},
            {"loadImageF", "QFrame", "sourceF"},          {"imageProfileF", "QFrame", "loadImageF"},
            {"label_5", "QLabel", "imageProfileF"},       {"loadedImageL", "QLabel", "imageProfileF"},
            {"loadImageICCPB", "QPushButton", "loadImageF"}, {"separationCB", "QCheckBox", "destinationF"},
            {"outputCB", "QCheckBox", "destinationF"},    {"loadDestinationF", "QFrame", "destinationF"},
            {"destinationProfileF", "QFrame", "loadDestinationF"}, {"label_6", "QLabel", "destinationProfileF"},
            {"loadedDestinationL", "QLabel", "destinationProfileF"},
            {"loadDestinationICCPB", "QPushButton", "loadDestinationF"}, {"line", "QFrame", "loadDestinationF"},
            {"renderingF", "QFrame", "loadDestinationF"}, {"renderingL", "QLabel", "renderingF"},
            {"renderingCB", "QComboBox", "renderingF"},   {"label_7", "QLabel", "labF"},
            {"lL", "QLabel", "labF"},                     {"label_a", "QLabel", "labF"},
            {"aL", "QLabel", "labF"},                     {"label_b", "QLabel", "labF"},
            {"bL", "QLabel", "labF"},                     {"colorL", "QLabel", "labF"},
            {"labRB", "QRadioButton", "labF"},            {"lchRB", "QRadioButton", "labF"},
            {"label_13", "QLabel", "cmykF"},              {"cL", "QLabel", "cmykF"},
            {"label_15", "QLabel", "cmykF"},              {"mL", "QLabel", "cmykF"},
            {"label_17", "QLabel", "cmykF"},              {"yL", "QLabel", "cmykF"},
            {"label_19", "QLabel", "cmykF"},              {"kL", "QLabel", "cmykF"},
            {"label_20", "QLabel", "cmykF"},              {"tL", "QLabel", "cmykF"},
            {"buttonGroup", "QButtonGroup", "ImageWindow"}};
        for (const auto &row : rows)
            QTest::newRow(row[0]) << row[1] << row[2];
    }

    void objectsHaveClassAndParent()
    {
        QFETCH(QString, className);
        QFETCH(QString, parentName);
        QObject *object = window.findChild<QObject *>(QTest::currentDataTag());
        QVERIFY(object);
        QCOMPARE(QString(object->metaObject()->className()), className);
        QCOMPARE(object->parent()->objectName(), parentName);
        // Menus are popups, hidden until opened.
        auto *widget = qobject_cast<QWidget *>(object);
        if (widget && !qobject_cast<QMenu *>(widget))
            QVERIFY(widget->isEnabled() && !widget->isHidden());
    }

    void textsAndFonts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pointSize");
        QTest::addColumn<bool>("bold");
        const int defaultSize = QApplication::font().pointSize();
        struct Row { const char *name; const char *text; int size; bool bold; };
        const Row rows[] = {
            {"label_3", "Zoom:", 0, false},         {"label", "Image:", 13, true},
            {"imageL", "MediaWedge.tif", 13, false}, {"loadImagePB", "Load Image", 12, false},
            {"embeddedCB", "Use embedded profile", 13, true}, {"label_2", "Embedded profile:", 13, true},
            {"embeddedL", "Embedded.icc", 13, false}, {"label_5", "Loaded Profile:", 13, true},
            {"loadedImageL", "Overwrite.icc", 13, false}, {"loadImageICCPB", "Load Image ICC Profile", 12, false},
            {"separationCB", "Final print separation", 13, true}, {"outputCB", "Output Conversion:", 0, true},
            {"label_6", "Loaded Profile:", 13, true}, {"loadedDestinationL", "Destination.icc", 13, false},
            {"loadDestinationICCPB", "Load ICC Profile", 12, false}, {"renderingL", "Rendering:", 13, true},
            {"label_7", "L*", 15, true},  {"lL", "-128", 15, true},   {"label_a", "a*", 15, true},
            {"aL", "-128", 15, true},     {"label_b", "b*", 15, true}, {"bL", "-128", 15, true},
            {"colorL", "", 0, false},     {"labRB", "L*a*b*", 0, false}, {"lchRB", "L*C*h*", 0, false},
            {"label_13", "C", 15, true},  {"cL", "100%", 15, true},   {"label_15", "M", 15, true},
            {"mL", "100%", 15, true},     {"label_17", "Y", 15, true}, {"yL", "100%", 15, true},
            {"label_19", "K", 15, true},  {"kL", "100%", 15, true},   {"label_20", "Total", 15, true},
            {"tL", "100%", 15, true},     {"lhwL", "", 0, false},      {"mhL", "", 0, false},
            {"rhwL", "", 0, false},       {"rhL", "", 0, false}};
        for (const Row &row : rows)
            QTest::newRow(row.name) << row.text << (row.size ? row.size : defaultSize) << row.bold;
    }

    void textsAndFonts()
    {
        QFETCH(QString, text);
        QFETCH(int, pointSize);
        QFETCH(bool, bold);
        QWidget *widget = window.findChild<QWidget *>(QTest::currentDataTag());
        QVERIFY(widget);
        QCOMPARE(widget->property("text").toString(), text);
        QCOMPARE(widget->font().pointSize(), pointSize);
        QCOMPARE(widget->font().bold(), bold);
        QCOMPARE(widget->font().family(), QApplication::font().family());
    }

    void initialStates()
    {
        QCOMPARE(window.windowTitle(), QString("MainWindow"));
        QCOMPARE(window.size(), QSize(1113, 806));
        QVERIFY(ui.embeddedCB->isChecked());
        QVERIFY(ui.separationCB->isChecked());
        QVERIFY(!ui.outputCB->isChecked());
        QVERIFY(ui.labRB->isChecked());
        QVERIFY(!ui.lchRB->isChecked());
        QCOMPARE(ui.zoomSlider->orientation(), Qt::Horizontal);
        QCOMPARE(ui.zoomSlider->minimum(), 0);
        QCOMPARE(ui.zoomSlider->maximum(), 100);
        QCOMPARE(ui.zoomSlider->value(), 0);
        QVERIFY(!ui.graphicsView->scene());
        QVERIFY(ui.lhwL->hasScaledContents() && ui.mhL->hasScaledContents() && ui.rhwL->hasScaledContents());
        QVERIFY(!ui.rhL->hasScaledContents() && ui.rhL->wordWrap());
        QCOMPARE(ui.rhL->minimumSize(), QSize(160, 40));
        QCOMPARE(ui.rhL->maximumSize(), QSize(160, 40));
        QCOMPARE(ui.mhL->minimumSize(), QSize(420, 40));
        QCOMPARE(ui.colorL->frameShape(), QFrame::Box);
        QCOMPARE(ui.line->frameShape(), QFrame::HLine);
        QCOMPARE(ui.line->frameShadow(), QFrame::Sunken);
        QCOMPARE(ui.graphicsView->viewportUpdateMode(), QGraphicsView::FullViewportUpdate);
        QVERIFY(ui.graphicsView->autoFillBackground());
    }

    void graphicsViewPalette()
    {
        const QPalette palette = ui.graphicsView->palette();
        QCOMPARE(palette.color(QPalette::Active, QPalette::WindowText), QColor(255, 255, 255));
        QCOMPARE(palette.color(QPalette::Disabled, QPalette::WindowText), QColor(64, 64, 64));
        QCOMPARE(palette.color(QPalette::Inactive, QPalette::Base), QColor(128, 128, 128));
        QCOMPARE(palette.color(QPalette::Active, QPalette::AlternateBase), QColor(64, 64, 64));
        QCOMPARE(palette.color(QPalette::Disabled, QPalette::AlternateBase), QColor(128, 128, 128));
        QCOMPARE(palette.color(QPalette::Active, QPalette::ToolTipBase), QColor(255, 255, 220));
        QCOMPARE(palette.color(QPalette::Active, QPalette::PlaceholderText), QColor(255, 255, 255, 128));
        QCOMPARE(ui.graphicsView->backgroundBrush().style(), Qt::NoBrush);
        QCOMPARE(ui.graphicsView->foregroundBrush().style(), Qt::NoBrush);
    }

    void renderingItemsWithRelativeSelected()
    {
        QStringList items;
        for (int i = 0; i < ui.renderingCB->count(); ++i)
            items << ui.renderingCB->itemText(i);
        QCOMPARE(items, QStringList({"Perceptual", "Relative", "Saturation", "Absolute"}));
        QCOMPARE(ui.renderingCB->currentIndex(), 1);
    }

    void menus()
    {
        auto texts = [](const QList<QAction *> &actions) {
            QStringList list;
            for (QAction *action : actions)
                list << (action->isSeparator() ? QString("|") : action->text());
            return list;
        };
        QCOMPARE(texts(ui.menubar->actions()), QStringList({"File", "Edit", "Help"}));
        QCOMPARE(texts(ui.menuFile->actions()), QStringList({"Quit"}));
        QCOMPARE(texts(ui.menuEdit->actions()),
                 QStringList({"Cut", "Copy", "Paste", "Delete", "Select All", "|", "Preferences..."}));
        QCOMPARE(texts(ui.menuHelp->actions()), QStringList({"Help", "About"}));
    }

    void radioButtonsExclusive()
    {
        ui.lchRB->setChecked(true);
        QVERIFY(!ui.labRB->isChecked());
        ui.labRB->setChecked(true);
        QVERIFY(!ui.lchRB->isChecked());
        QCOMPARE(ui.buttonGroup->buttons(), QList<QAbstractButton *>({ui.labRB, ui.lchRB}));
    }

    void existingObjectNameIsKept()
    {
        QMainWindow named;
        named.setObjectName("Chosen");
        Ui::ImageWindow form;
        form.setupUi(&named);
        QCOMPARE(named.objectName(), QString("Chosen"));
    }

    void panelKeepsWidthAndSizes()
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int panelWidth = ui.panelFrame->width();
        const int viewWidth = ui.graphicsView->width();
        QVERIFY(panelWidth >= 380);
        window.resize(1600, 1000);
        QTRY_COMPARE(ui.graphicsView->width(), viewWidth + 487);
        QCOMPARE(ui.panelFrame->width(), panelWidth);
        QVERIFY(ui.renderingF->height() <= 24);
        QVERIFY(ui.colorL->width() >= 45 && ui.colorL->height() >= 45);
        // The boxes stay packed at the top; the spacer below takes the extra height.
        QVERIFY(ui.cmykF->geometry().bottom() < ui.panelFrame->height() / 2 + 200);
        window.hide();
    }
};

QTEST_MAIN(TestForm)
#include "test_form.moc"
