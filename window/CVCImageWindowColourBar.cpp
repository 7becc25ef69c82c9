// Checking a colour bar: the reference and the tolerance set, the bar drawn
// as a grid of patches named by the reference, and the verdict in the panel,
// on the picture and in its table.
#include "CVCImageWindow.h"
#include "ui_ImageWindow.h"

#include "BarLayoutDialog.h"
#include "ColourBarCheckDock.h"
#include "PatchOverlay.h"
#include "PatchTableDock.h"
#include "checkreport.h"
#include "patchassignment.h"
#include "referencereader.h"
#include "resourcedir.h"
#include "swatchtransform.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

#include <algorithm>

void CVCImageWindow::SetupColourBar()
{
    barDock = new ColourBarCheckDock(this);
    addDockWidget(Qt::BottomDockWidgetArea, barDock);
    tabifyDockWidget(patchTable, barDock);
    // It comes with the first reference; until then the picture keeps the room of its tab.
    barDock->hide();
    SetupVerdictLine();
    SetupColourBarActions();
    connect(patchOverlay, &PatchOverlay::barDrawn, this, [this](const QRect &area) {
        // The mouse release that drew the bar returns to the view first.
        QTimer::singleShot(0, this, [this, area] { LayOutColourBar(area); });
    });
    connect(barDock, &ColourBarCheckDock::openReferenceRequested, this, [this] { OpenReference(); });
    connect(barDock, &ColourBarCheckDock::toleranceSetChosen, this, [this](int index) { ChooseToleranceSet(index); });
    connect(barDock, &ColourBarCheckDock::exportRequested, this, [this] { ExportCheckReport(); });
    LoadToleranceSets();
    ShowReference();
}

void CVCImageWindow::SetupColourBarActions()
{
    colourBarAction = findChild<QToolBar *>("patchToolBar")->addAction(tr("Colour bar"));
    colourBarAction->setObjectName("actionColourBar");
    colourBarAction->setCheckable(true);
    colourBarAction->setShortcut(Qt::Key_B);
    colourBarAction->setToolTip(tr("Colour bar (B): drag around the bar's patches to check them against the "
                                   "reference; Esc leaves"));
    exportCheckAction = new QAction(tr("Export check report…"), this);
    exportCheckAction->setObjectName("actionExportCheckReport");
    exportCheckAction->setShortcut(QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_E));
    ui->menuFile->insertAction(ui->actionQuit, exportCheckAction);
    ui->menuFile->insertSeparator(ui->actionQuit);
    auto *openReference = new QAction(tr("Open reference…"), this);
    openReference->setObjectName("actionOpenReference");
    ui->menuFile->insertAction(exportCheckAction, openReference);
    connect(openReference, &QAction::triggered, this, [this] { OpenReference(); });
    connect(exportCheckAction, &QAction::triggered, this, [this] { ExportCheckReport(); });
    connect(colourBarAction, &QAction::triggered, this, [this](bool on) { DrawColourBar(on); });
}

void CVCImageWindow::SetupVerdictLine()
{
    auto *line = new QFrame(ui->panelFrame);
    line->setObjectName("verdictF");
    auto *layout = new QHBoxLayout(line);
    verdictWordL = new QLabel(line);
    verdictWordL->setObjectName("verdictWordL");
    verdictWordL->setAlignment(Qt::AlignCenter);
    verdictL = new QLabel(line);
    verdictL->setObjectName("verdictL");
    verdictL->setWordWrap(true);
    verdictL->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(verdictWordL);
    layout->addWidget(verdictL, 1);
    auto *panel = static_cast<QBoxLayout *>(ui->panelFrame->layout());
    // Under the values, above the space that keeps them at the top.
    panel->insertWidget(panel->count() - 1, line);
    line->hide();
}

void CVCImageWindow::LoadToleranceSets()
{
    const QString chosenBefore = settings.value("ToleranceSet").toString();
    for (const QString &file : shippedToleranceFiles(getResourceDir()))
        statusNotes.add(AddToleranceSet(file));
    // The set chosen last time, whether installed or the user's own, is chosen again.
    if (!chosenBefore.isEmpty() && !toleranceFiles.contains(chosenBefore))
        statusNotes.add(AddToleranceSet(chosenBefore));
    chosenToleranceSet = qMax(0, toleranceFiles.indexOf(chosenBefore));
    ShowToleranceSets();
}

QString CVCImageWindow::AddToleranceSet(const QString &file)
{
    const ToleranceReading reading = readToleranceFile(file);
    if (reading.ok()) {
        toleranceSets << reading.set;
        toleranceFiles << file;
    }
    return reading.error;
}

void CVCImageWindow::ShowToleranceSets()
{
    QStringList names;
    for (const ToleranceSet &set : toleranceSets)
        names << set.name;
    barDock->showToleranceSets(names, chosenToleranceSet);
}

void CVCImageWindow::ChooseToleranceSet(int index)
{
    if (index < toleranceSets.size()) {
        chosenToleranceSet = index;
    } else {
        const QString path = QFileDialog::getOpenFileName(this, tr("Open tolerance set"), lastReferenceDir,
                                                          tr("tolerance set (*.json)"));
        if (!path.isEmpty()) {
            lastReferenceDir = QFileInfo(path).absolutePath();
            const QString error = AddToleranceSet(path);
            if (error.isEmpty())
                chosenToleranceSet = toleranceSets.size() - 1;
            else
                ShowPatchFileProblem(tr("The tolerance set could not be opened."), error);
        }
    }
    ShowToleranceSets();
    CheckColourBar();
}

void CVCImageWindow::OpenReference()
{
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Open reference"), lastReferenceDir,
                                     tr("CGATS reference (*.txt *.cgats *.it8 *.cie);;all files (*)"));
    if (!path.isEmpty())
        openReference(path);
}

void CVCImageWindow::openReference(const QString &path)
{
    lastReferenceDir = QFileInfo(path).absolutePath();
    const ReferenceReading reading = readReferenceFile(path);
    // A reference that cannot be read leaves the one in force, and its check, as they were.
    if (!reading.ok()) {
        ShowPatchFileProblem(tr("The reference could not be opened."), reading.error);
        return;
    }
    barReference = reading.chart;
    ShowReference();
    barDock->show();
    barDock->raise();
    ui->mainStatusBar->showMessage(tr("Reference %1: %2 patches")
                                       .arg(QFileInfo(path).fileName())
                                       .arg(barReference->patches.size()));
    CheckColourBar();
}

void CVCImageWindow::ShowReference()
{
    if (!barReference) {
        barDock->showReference(tr("No reference: open one, then draw around the colour bar (B)."));
        return;
    }
    const QString name = QFileInfo(barReference->file).fileName();
    const int count = barReference->patches.size();
    barDock->showReference(barReference->hasTones()
                               ? tr("Reference %1: %2 patches with their tone values").arg(name).arg(count)
                               : tr("Reference %1: %2 patches without tone values (paper, solids, overprints and "
                                    "greys cannot be told)")
                                     .arg(name)
                                     .arg(count));
}

void CVCImageWindow::DrawColourBar(bool on)
{
    if (on && !barReference)
        OpenReference();
    patchOverlay->setDrawingBar(on && barReference);
    // Without a reference the button the user pressed springs back.
    colourBarAction->setChecked(patchOverlay->drawingBar());
}

void CVCImageWindow::LayOutColourBar(const QRect &area)
{
    if (!barReference)
        return;
    BarLayoutDialog dialog(area, barReference->patches.size(), lastBarLayout, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const GridLayout grid = dialog.layout();
    const PatchAssignment assignment = assignGrid(*barReference, grid);
    if (!assignment.ok()) {
        ShowPatchFileProblem(tr("The colour bar cannot be laid out."), assignment.error);
        return;
    }
    lastBarLayout = grid;
    if (ConfirmReplacingPatches(assignment.patches.size()))
        AdoptPatchSet(assignment.patches);
}

bool CVCImageWindow::ConfirmReplacingPatches(int barPatches)
{
    const QVector<Patch> &patches = patchOverlay->patches();
    const QStringList ids = barReference->identifiers();
    // The patches of an earlier bar of this reference give way without a question.
    if (std::all_of(patches.begin(), patches.end(), [&ids](const Patch &p) { return ids.contains(p.name); }))
        return true;
    QMessageBox box(QMessageBox::Question, tr("Colour bar"),
                    tr("The %1 patches of the colour bar take the place of the %2 patches on the picture.")
                        .arg(barPatches)
                        .arg(patches.size()),
                    QMessageBox::Cancel, this);
    box.setInformativeText(tr("To keep them, cancel and save them first (File > Save patch set…)."));
    QPushButton *replace = box.addButton(tr("Replace"), QMessageBox::AcceptRole);
    box.setDefaultButton(replace);
    box.exec();
    return box.clickedButton() == replace;
}

void CVCImageWindow::CheckColourBar()
{
    const ColourProfile monitor = monitorProfile();
    CheckColourBar(SwatchTransform(renderingIntent(), monitor.handle()));
}

void CVCImageWindow::CheckColourBar(const SwatchTransform &toMonitor)
{
    barCheck.reset();
    if (barReference && !shownFileName.isEmpty() && patchRows.size() > 1)
        barCheck = CheckMeasuredPatches();
    ShowColourBarCheck(toMonitor);
}

ColourBarCheck CVCImageWindow::CheckMeasuredPatches() const
{
    ColourBarCheck check;
    QVector<Patch> patches;
    for (int row = 1; row < patchRows.size(); ++row)
        patches << patchRows[row].patch;
    const PatchAssignment assignment = assignPatchSet(*barReference, patches);
    if (!assignment.ok()) {
        check.error = assignment.error;
        return check;
    }
    QHash<QString, int> rowOf;
    for (int row = 1; row < patchRows.size(); ++row)
        rowOf.insert(patchRows[row].patch.name, row);
    QVector<PatchMeasurement> measurements;
    for (const Patch &patch : assignment.patches) {
        const int row = rowOf.value(patch.name);
        if (!patchRowMeasured[row]) {
            check.error = patchRowStamps[row] != 0 ? tr("patch %1 is being measured").arg(patch.name)
                                                   : tr("patch %1 is not measured").arg(patch.name);
            return check;
        }
        measurements << patchRows[row].measurement;
    }
    return checkColourBar(*barReference, assignment.patches, measurements, toleranceSets.value(chosenToleranceSet));
}

void CVCImageWindow::ShowColourBarCheck(const SwatchTransform &toMonitor)
{
    ui->panelFrame->findChild<QFrame *>("verdictF")->setVisible(bool(barCheck));
    QVector<std::optional<bool>> verdicts;
    QVector<ColourBarCheckDock::SwatchPair> swatches;
    if (barCheck) {
        ShowVerdict(*barCheck);
        QHash<QString, std::optional<bool>> passed;
        for (const PatchCheck &checked : barCheck->patches)
            if (!passed.contains(checked.reference.id))
                passed.insert(checked.reference.id, checked.pass);
        for (const Patch &patch : patchOverlay->patches()) {
            const auto checked = passed.constFind(patch.name);
            verdicts << (checked == passed.constEnd() ? std::nullopt : *checked);
        }
        const auto shown = [&toMonitor](const std::array<double, 3> &lab) {
            return SwatchColour({float(lab[0]), float(lab[1]), float(lab[2])}, toMonitor);
        };
        for (const PatchCheck &patch : barCheck->patches)
            swatches << ColourBarCheckDock::SwatchPair{shown(patch.measuredLab), shown(patch.reference.lab)};
    }
    patchOverlay->setVerdicts(verdicts);
    barDock->showCheck(barCheck ? &*barCheck : nullptr, swatches);
    exportCheckAction->setEnabled(barCheck && barCheck->ok());
}

void CVCImageWindow::ShowVerdict(const ColourBarCheck &check)
{
    verdictWordL->setText(verdictWord(check));
    verdictL->setText(verdictDetail(check));
    const QString background = !check.ok() ? "#808080" : check.pass ? "#1e8c3a" : "#c62828";
    verdictWordL->setStyleSheet(
        QString("QLabel { background: %1; color: white; font-weight: bold; padding: 2px 8px; }").arg(background));
}

std::optional<QColor> CVCImageWindow::SwatchColour(const std::array<float, 3> &lab, const SwatchTransform &toMonitor)
{
    if (const auto levels = toMonitor.levels(lab))
        return QColor((*levels)[0], (*levels)[1], (*levels)[2]);
    return std::nullopt;
}
