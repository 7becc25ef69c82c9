#include "CVCImageWindow.h"
#include "ui_ImageWindow.h"

#include "CaptionRoom.h"
#include "ImageDrops.h"
#include "LabelElision.h"
#include "PatchOverlay.h"
#include "PatchTableDock.h"
#include "PictureView.h"
#include "PictureZoom.h"
#include "PointerReadout.h"
#include "StatusMessageElision.h"
#include "failuretext.h"
#include "memorybudget.h"
#include "monitorprofilewatch.h"
#include "resourcedir.h"
#include "samplememory.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QTimer>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QResizeEvent>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>

CVCImageWindow::CVCImageWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::ImageWindow)
    , session(getResourceDir())
    , statusNotes(this)
{
    ui->setupUi(this);
    work = new BackgroundWork(this);
    setWindowTitle("Veltrane Lumivant");
    SetupHeader();
    SetupConnections();
    KeepValuesInView();
    SetupDesktopUse();
    SetupPatches();
    SetupColourBar();
    ShowPatchRows();
    ResetPanel();
    LoadSettings();
    NoteMemoryLimit();
    // The memory for the first picture's samples is made ready while the user chooses a file.
    SampleMemory::shared().prepare(std::min(SampleMemory::reserveBytes, loadMemoryBudget().bytes / 4));
}

CVCImageWindow::~CVCImageWindow()
{
    SaveSettings();
    // The patches leave the scene before the view's scenes go, so that no
    // selection change reaches a half-gone window.
    patchOverlay->showOn(nullptr);
    delete ui;
    SampleMemory::shared().stopPreparing();
}

void CVCImageWindow::SetupHeader()
{
    const QString dir = getResourceDir();
    ui->lhwL->setPixmap(QPixmap(dir + "/White.png"));
    ui->mhL->setPixmap(QPixmap(dir + "/MidHeader.png"));
    ui->rhwL->setPixmap(QPixmap(dir + "/White.png"));
    ui->rhL->setPixmap(QPixmap(dir + "/RightHeader.png"));
}

void CVCImageWindow::SetupConnections()
{
    ui->actionPreferences->setEnabled(false);
    connect(ui->actionAbout, SIGNAL(triggered()), this, SLOT(actionAboutTriggered()));
    connect(ui->actionQuit, SIGNAL(triggered()), this, SLOT(close()));
    connect(ui->actionHelp, SIGNAL(triggered()), this, SLOT(actionHelpTriggered()));
    connect(ui->loadImagePB, SIGNAL(clicked()), this, SLOT(actionLoadImage()));
    connect(ui->embeddedCB, SIGNAL(clicked()), this, SLOT(actionEmbeddedCB()));
    connect(ui->loadImageICCPB, SIGNAL(clicked()), this, SLOT(actionLoadImageICC()));
    connect(ui->separationCB, SIGNAL(clicked()), this, SLOT(actionSeparationCB()));
    connect(ui->outputCB, SIGNAL(clicked()), this, SLOT(actionOutputCB()));
    connect(ui->loadDestinationICCPB, SIGNAL(clicked()), this, SLOT(actionLoadDestinationICC()));
    connect(ui->renderingCB, SIGNAL(currentIndexChanged(int)), this, SLOT(actionRenderingCB(int)));
    connect(ui->labRB, SIGNAL(clicked(bool)), this, SLOT(rBClicked(bool)));
    connect(ui->lchRB, SIGNAL(clicked(bool)), this, SLOT(rBClicked(bool)));

    // A wheel over the panel must not change the rendering intent by accident.
    for (QComboBox *combo : findChildren<QComboBox *>())
        combo->setFocusPolicy(Qt::StrongFocus);
}

void CVCImageWindow::KeepValuesInView()
{
    auto *pointerL = new QLabel(this);
    pointerL->setObjectName("pointerL");
    ui->mainStatusBar->addPermanentWidget(pointerL);
    StatusMessageElision::apply(ui->mainStatusBar);
    pointerReadout = new PointerReadout(ui->graphicsView, pointerL, [this](QPoint pixel) { return DescribePixel(pixel); });
    pictureView = new PictureView(ui->graphicsView);
    pictureZoom = new PictureZoom(ui->graphicsView, ui->zoomSlider, this, [this](double zoom) {
        // An emptied view still fits itself to its new size; there is no zoom to tell.
        if (PictureShown())
            pointerReadout->showZoom(zoom);
        pictureView->viewChanged();
    });
    const std::pair<QLabel *, QLabel *> rows[] = {
        {ui->label, ui->imageL}, {ui->label_2, ui->embeddedL}, {ui->label_5, ui->loadedImageL}, {ui->label_6, ui->loadedDestinationL}};
    for (const auto &[caption, value] : rows) {
        LabelElision::apply(value);
        CaptionRoom::apply(caption, value);
    }
    // No caption of the inks is ever cut.
    for (QLabel *caption : {ui->label_13, ui->label_15, ui->label_17, ui->label_19, ui->label_20})
        caption->setMinimumWidth(qMax(caption->minimumWidth(), caption->sizeHint().width()));
    // Nor the text of a panel button; the buttons keep one width, that of the widest text.
    const QList<QPushButton *> buttons = {ui->loadImagePB, ui->loadImageICCPB, ui->loadDestinationICCPB};
    int buttonWidth = 0;
    for (const QPushButton *button : buttons)
        buttonWidth = std::max({buttonWidth, button->minimumWidth(), button->sizeHint().width()});
    for (QPushButton *button : buttons)
        button->setFixedWidth(buttonWidth);
}

void CVCImageWindow::SetupDesktopUse()
{
    new ImageDrops(this, [this](const QString &file) {
        // The drop returns to the file manager first; the load follows.
        QTimer::singleShot(0, this, [this, file] { openImageFile(file); });
    });
    ui->actionEditCopy->setShortcut(QKeySequence::Copy);
    connect(ui->actionEditCopy, &QAction::triggered, this, [this] {
        const QString line = resultsLine();
        if (!line.isEmpty())
            QGuiApplication::clipboard()->setText(line);
    });
    for (QLabel *value : {ui->lL, ui->aL, ui->bL, ui->cL, ui->mL, ui->yL, ui->kL, ui->tL})
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The box is cleared at every load, so its use must be told where it is ticked.
    ui->separationCB->setToolTip(tr("Tick to show the average coverage of C, M, Y and K and their total for a "
                                    "four-ink image. It is cleared at every load."));
    new MonitorProfileWatch(this, [this] { RenderForMonitor(); });
}

QString CVCImageWindow::resultsLine() const
{
    if (ui->labF->isHidden())
        return QString();
    // The values of a chosen patch are named after it.
    const int row = patchTable->chosenRow();
    const QString subject = row > 0 ? QString("%1, %2").arg(ui->imageL->text(), patchRows[row].patch.name)
                                    : ui->imageL->text();
    QString line = QString("%1: L* %2, %3 %4, %5 %6")
                       .arg(subject, ui->lL->text(), ui->label_a->text(), ui->aL->text(),
                            ui->label_b->text(), ui->bL->text());
    if (session.numberOfInks() == 4)
        line += QString("; C %1, M %2, Y %3, K %4, total %5")
                    .arg(ui->cL->text(), ui->mL->text(), ui->yL->text(), ui->kL->text(), ui->tL->text());
    return line;
}

void CVCImageWindow::ResetPanel()
{
    ui->imageL->setText(tr("none"));
    ui->embeddedL->setText(tr("no profile"));
    ui->embeddedF->hide();
    ui->embeddedCB->setChecked(true);
    ui->embeddedCB->hide();
    ui->loadImageF->hide();
    ui->loadImageF->setEnabled(true);
    ui->loadedImageL->setText(tr("no profile"));
    ui->separationCB->setChecked(true);
    ui->outputCB->hide();
    ui->loadedDestinationL->setText(tr("no profile"));
    ui->renderingCB->setCurrentIndex(1);
    ui->loadDestinationF->hide();
    ui->destinationF->hide();
    ui->labF->hide();
    ui->cmykF->hide();
    ui->zoomF->hide();
    pointerReadout->clear();
}

// An unusable memory limit is ignored or clamped; every load says so again.
void CVCImageWindow::NoteMemoryLimit()
{
    const QString warning = memoryLimitWarning();
    if (!warning.isEmpty())
        statusNotes.add(warning);
}

void CVCImageWindow::LoadSettings()
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    lastImageDir = settings.value("LastImageDir", desktop).toString();
    lastProfileDir = settings.value("LastProfileDir", desktop).toString();
    lastPatchDir = settings.value("LastPatchDir", desktop).toString();
    lastReferenceDir = settings.value("LastReferenceDir", desktop).toString();
}

void CVCImageWindow::SaveSettings()
{
    settings.setValue("LastImageDir", lastImageDir);
    settings.setValue("LastProfileDir", lastProfileDir);
    settings.setValue("LastPatchDir", lastPatchDir);
    settings.setValue("LastReferenceDir", lastReferenceDir);
    settings.setValue("ToleranceSet", toleranceFiles.value(chosenToleranceSet));
}

void CVCImageWindow::ShowFailure(const Failure &failure, const QString &imageFile)
{
    work->hideBusyCursor();
    QMessageBox box(QMessageBox::Warning, tr("Warning"), FailureText::heading(failure.kind), QMessageBox::Ok, this);
    box.setInformativeText(FailureText::details(failure, imageFile));
    box.exec();
}

void CVCImageWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
}

void CVCImageWindow::actionAboutTriggered()
{
    QDialog dialog(this);
    dialog.setWindowModality(Qt::ApplicationModal);
    auto *picture = new QLabel;
    picture->setPixmap(QPixmap(getResourceDir() + "/Splash.png"));
    auto *layout = new QVBoxLayout;
    layout->setMargin(0);
    layout->addWidget(picture);
    dialog.setLayout(layout);
    dialog.exec();
}

void CVCImageWindow::actionHelpTriggered()
{
}

