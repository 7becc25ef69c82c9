// Patches: drawing them on the picture, their table, and the panel showing the chosen one.
#include "CVCImageWindow.h"
#include "ui_ImageWindow.h"

#include "patchmeasuringjob.h"
#include "PatchOverlay.h"
#include "PatchTableDock.h"
#include "PictureView.h"
#include "patchsetfile.h"
#include "patchtable.h"
#include "swatchtransform.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputDialog>
#include <QShortcut>
#include <QTimer>
#include <QToolBar>

#include <memory>

void CVCImageWindow::SetupPatches()
{
    patchOverlay = new PatchOverlay(ui->graphicsView);
    // Patches are drawn over a picture only, and follow it into each new scene.
    pictureView->whenSceneReplaced(
        [this](QGraphicsScene *scene, bool picture) { patchOverlay->showOn(picture ? scene : nullptr); });
    patchTable = new PatchTableDock(this);
    addDockWidget(Qt::BottomDockWidgetArea, patchTable);
    patchRows = {WholeImageRow()};
    patchRowMeasured = {false};
    patchRowStamps = {0};

    auto *toolBar = addToolBar(tr("Patches"));
    toolBar->setObjectName("patchToolBar");
    measureAreaAction = toolBar->addAction(tr("Measure area"));
    measureAreaAction->setObjectName("actionMeasureArea");
    measureAreaAction->setCheckable(true);
    measureAreaAction->setShortcut(Qt::Key_M);
    measureAreaAction->setToolTip(tr("Measure area (M): drag on the picture for a rectangle, with Shift for an "
                                     "ellipse; Esc leaves"));
    connect(measureAreaAction, &QAction::triggered, patchOverlay, &PatchOverlay::setDrawing);
    auto *leave = new QShortcut(Qt::Key_Escape, this);
    leave->setEnabled(false);
    connect(leave, &QShortcut::activated, this, [this] { patchOverlay->setDrawing(false); });
    connect(patchOverlay, &PatchOverlay::drawingChanged, this, [this, leave](bool on) {
        measureAreaAction->setChecked(on && !patchOverlay->drawingBar());
        colourBarAction->setChecked(on && patchOverlay->drawingBar());
        leave->setEnabled(on);
    });
    SetupPatchEditing();
    SetupPatchMenus();
}

void CVCImageWindow::SetupPatchEditing()
{
    connect(patchOverlay, &PatchOverlay::added, this, [this](int index) {
        patchRows << PatchRow{patchOverlay->patches()[index], {}};
        patchRowMeasured << false;
        patchRowStamps << 0;
        MeasurePatchRows({index + 1});
    });
    connect(patchOverlay, &PatchOverlay::edited, this, [this](int index) {
        patchRows[index + 1].patch = patchOverlay->patches()[index];
        // Its numbers were those of where it was.
        MeasurePatchRows({index + 1});
    });
    connect(patchOverlay, &PatchOverlay::selectionChanged, this, [this](int index) {
        patchTable->choose(index + 1);
        ShowChosenRow();
    });
    connect(patchOverlay, &PatchOverlay::renameRequested, this, [this](int index) {
        bool ok = false;
        const QString name = QInputDialog::getText(this, tr("Rename patch"), tr("Name:"), QLineEdit::Normal,
                                                   patchOverlay->patches()[index].name, &ok);
        if (ok)
            RenamePatch(index, name);
    });
    connect(patchTable, &PatchTableDock::rowChosen, this, [this](int row) {
        patchOverlay->select(row - 1);
        ShowChosenRow();
    });
    // The table is filled anew once its own signal has returned.
    connect(patchTable, &PatchTableDock::nameEdited, this, [this](int index, const QString &name) {
        QTimer::singleShot(0, this, [this, index, name] { RenamePatch(index, name); });
    });
    connect(patchTable, &PatchTableDock::rectEdited, this, [this](int index, const QRect &rect) {
        QTimer::singleShot(0, this, [this, index, rect] { PlacePatch(index, rect); });
    });
    ui->actionEditDelete->setShortcut(QKeySequence::Delete);
    connect(ui->actionEditDelete, &QAction::triggered, this, [this] { DeletePatch(patchOverlay->selected()); });
}

void CVCImageWindow::SetupPatchMenus()
{
    const auto addAction = [this](QMenu *menu, QAction *before, const QString &text, const char *name,
                                  std::function<void()> action) {
        auto *item = new QAction(text, this);
        item->setObjectName(name);
        connect(item, &QAction::triggered, this, action);
        menu->insertAction(before, item);
        return item;
    };
    addAction(ui->menuFile, ui->actionQuit, tr("Open patch set…"), "actionOpenPatchSet", [this] { OpenPatchSet(); })
        ->setShortcut(QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_O));
    addAction(ui->menuFile, ui->actionQuit, tr("Save patch set…"), "actionSavePatchSet", [this] { SavePatchSet(); })
        ->setShortcut(QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_S));
    addAction(ui->menuFile, ui->actionQuit, tr("Export…"), "actionExportPatchTable", [this] { ExportPatchTable(); })
        ->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_E));
    ui->menuFile->insertSeparator(ui->actionQuit);
    QAction *copyTable = addAction(ui->menuEdit, ui->actionEditPaste, tr("Copy table"), "actionCopyTable", [this] {
        if (!FinishPatchMeasuring())
            return;
        QGuiApplication::clipboard()->setText(PatchTable(MeasuredPatchRows(), session.numberOfInks(),
                                                         ui->lchRB->isChecked())
                                                  .tabSeparated());
    });
    copyTable->setShortcut(QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_C));
}

PatchRow CVCImageWindow::WholeImageRow() const
{
    Patch whole;
    whole.name = tr("Whole image");
    whole.rect = QRect(QPoint(), session.image().size);
    return {whole, {}};
}

void CVCImageWindow::RenamePatch(int index, const QString &name)
{
    if (index < 0 || index >= patchOverlay->patches().size())
        return;
    Patch patch = patchOverlay->patches()[index];
    if (!name.trimmed().isEmpty())
        patch.name = name.trimmed();
    patchOverlay->setPatch(index, patch);
    patchRows[index + 1].patch = patch;
    ShowPatchRows();
}

void CVCImageWindow::PlacePatch(int index, const QRect &rect)
{
    if (index < 0 || index >= patchOverlay->patches().size())
        return;
    if (rect.isEmpty()) {
        ShowPatchRows();
        return;
    }
    Patch patch = patchOverlay->patches()[index];
    patch.rect = rect;
    patch.clipped = !QRect(QPoint(), session.image().size).contains(rect);
    patchOverlay->setPatch(index, patch);
    patchRows[index + 1].patch = patch;
    MeasurePatchRows({index + 1});
}

void CVCImageWindow::DeletePatch(int index)
{
    if (index < 0 || index >= patchOverlay->patches().size())
        return;
    patchOverlay->removePatch(index);
    patchRows.remove(index + 1);
    patchRowMeasured.remove(index + 1);
    patchRowStamps.remove(index + 1);
    patchTable->choose(0);
    ShowPatchRows();
    ShowChosenRow();
}

void CVCImageWindow::MeasureAllPatchRows()
{
    ForgetPatchMeasurements();
    MeasureWaitingRows();
}

void CVCImageWindow::MeasurePatchRows(const QVector<int> &rows)
{
    for (int row : rows)
        AwaitMeasuring(row);
    ShowPatchRows();
    ShowChosenRow();
    MeasureWaitingRows();
}

void CVCImageWindow::AwaitMeasuring(int row)
{
    patchRowMeasured[row] = false;
    patchRowStamps[row] = ++lastPatchStamp;
}

void CVCImageWindow::MeasureWaitingRows()
{
    // The job going takes the rows that wait when it ends.
    if (shownFileName.isEmpty() || work->started())
        return;
    if (work->busy()) {
        QTimer::singleShot(200, this, [this] { MeasureWaitingRows(); });
        return;
    }
    // The rows read every pixel again: a picture being drawn, a load's above all, comes first.
    if (pictureView->drawing()) {
        pictureView->whenNextShown([this] { QTimer::singleShot(0, this, [this] { MeasureWaitingRows(); }); });
        return;
    }
    const PatchMeasuringRequest request = WaitingRows();
    if (request.patches.isEmpty())
        return;
    const auto job = std::make_shared<PatchMeasuringJob>(session, request.patches);
    work->start(
        tr("Measuring patches of %1…").arg(shownFileName), [job](WorkControl &control) { job->run(&control); },
        [this, job, stamps = request.stamps](BackgroundWork::Ending ending) {
            TakePatchMeasurements(job->measurements(), stamps, ending);
        });
}

bool CVCImageWindow::FinishPatchMeasuring()
{
    // Those being measured wait too: running the work below interrupts theirs.
    const PatchMeasuringRequest request = WaitingRows();
    if (shownFileName.isEmpty() || request.patches.isEmpty())
        return true;
    const auto job = std::make_shared<PatchMeasuringJob>(session, request.patches);
    const bool finished = work->run(tr("Measuring patches of %1…").arg(shownFileName),
                                    [job](WorkControl &control) { job->run(&control); });
    TakePatchMeasurements(job->measurements(), request.stamps,
                          finished ? BackgroundWork::Ending::Finished : BackgroundWork::Ending::Cancelled);
    return finished;
}

CVCImageWindow::PatchMeasuringRequest CVCImageWindow::WaitingRows() const
{
    PatchMeasuringRequest request;
    for (int row = 0; row < patchRows.size(); ++row) {
        if (!patchRowMeasured[row] && patchRowStamps[row] != 0) {
            request.patches << patchRows[row].patch;
            request.stamps << patchRowStamps[row];
        }
    }
    return request;
}

void CVCImageWindow::TakePatchMeasurements(const QVector<PatchMeasurement> &measurements,
                                           const QVector<quint64> &stamps, BackgroundWork::Ending ending)
{
    // Interrupted rows still wait, as the table shows them.
    if (ending == BackgroundWork::Ending::Interrupted) {
        QTimer::singleShot(0, this, [this] { MeasureWaitingRows(); });
        return;
    }
    bool cancelled = false;
    for (int i = 0; i < stamps.size(); ++i) {
        const int row = patchRowStamps.indexOf(stamps[i]);
        // Changed, deleted or measured under other choices since.
        if (row < 0)
            continue;
        if (ending == BackgroundWork::Ending::Finished) {
            patchRows[row].measurement = measurements[i];
            patchRowMeasured[row] = true;
        } else {
            patchRowStamps[row] = 0;
            cancelled = true;
        }
    }
    if (cancelled)
        ShowCancelled(tr("Measuring patches"));
    ShowPatchRows();
    ShowChosenRow();
    QTimer::singleShot(0, this, [this] { MeasureWaitingRows(); });
}

void CVCImageWindow::ForgetPatchMeasurements()
{
    // Rows measured under the old choices would be dropped when they come.
    work->interrupt();
    patchRows[0] = WholeImageRow();
    for (int row = 0; row < patchRows.size(); ++row)
        AwaitMeasuring(row);
    ShowPatchRows();
    ShowChosenRow();
}

void CVCImageWindow::KeepPatchesOnPicture()
{
    const FittedPatches fitted = PatchSetFile::fitTo(patchOverlay->patches(), QRect(QPoint(), session.image().size));
    for (int index = 0; index < fitted.patches.size(); ++index) {
        patchOverlay->setPatch(index, fitted.patches[index]);
        patchRows[index + 1].patch = fitted.patches[index];
    }
    for (const QString &warning : fitted.warnings)
        statusNotes.add(warning);
}

void CVCImageWindow::ShowPatchRows()
{
    const bool lch = ui->lchRB->isChecked();
    const PatchTable table(patchRows, session.numberOfInks(), lch);
    QVector<QStringList> texts = table.cells();
    QVector<std::optional<QColor>> swatches;
    const ColourProfile monitor = monitorProfile();
    const SwatchTransform toMonitor(renderingIntent(), monitor.handle());
    for (int row = 0; row < patchRows.size(); ++row) {
        std::optional<QColor> swatch;
        const std::optional<AverageColour> &average = patchRows[row].measurement.average;
        if (!patchRowMeasured[row]) {
            // Only the name and the place tell anything before a row is measured,
            // and the whole image has no place before there is one.
            const int firstCleared = row == 0 && session.image().size.isEmpty() ? 1 : 5;
            for (int column = firstCleared; column < texts[row].size(); ++column)
                texts[row][column].clear();
        } else if (average) {
            swatch = SwatchColour(average->lab, toMonitor);
        }
        swatches << swatch;
    }
    patchTable->showRows(table.headers(), texts, swatches);
    CheckColourBar(toMonitor);
}

void CVCImageWindow::ShowChosenRow()
{
    if (ui->labF->isHidden())
        return;
    if (!ChosenRowMeasured()) {
        for (QLabel *value : {ui->lL, ui->aL, ui->bL, ui->cL, ui->mL, ui->yL, ui->kL, ui->tL})
            value->setText("–");
        PaintSwatch();
        return;
    }
    const int row = patchTable->chosenRow();
    shownAverage = row > 0 ? *patchRows[row].measurement.average : imageAverage;
    ShowValues();
    PaintSwatch();
    if (session.numberOfInks() == 4)
        ShowInkCoverage();
}

bool CVCImageWindow::ChosenRowMeasured() const
{
    const int row = patchTable->chosenRow();
    return row <= 0 || (patchRowMeasured.value(row) && patchRows.value(row).measurement.average);
}

QVector<PatchRow> CVCImageWindow::MeasuredPatchRows() const
{
    QVector<PatchRow> measured;
    for (int row = 0; row < patchRows.size(); ++row)
        if (patchRowMeasured[row])
            measured << patchRows[row];
    return measured;
}
