// Patch sets kept in files, the patch table exported, and the report of a colour bar check.
#include "CVCImageWindow.h"
#include "ui_ImageWindow.h"

#include "PatchOverlay.h"
#include "PatchTableDock.h"
#include "patchsetfile.h"
#include "patchtable.h"
#include "checkpdf.h"
#include "checkreport.h"
#include "measuredcgats.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>

namespace {

// Writes bytes to path whole or not at all; the reason in error when it fails.
bool writeWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    *error = file.errorString();
    return false;
}

} // namespace

void CVCImageWindow::SavePatchSet()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Save patch set"), lastPatchDir,
                                                      tr("patch set (*.json)"));
    if (path.isEmpty())
        return;
    lastPatchDir = QFileInfo(path).absolutePath();
    QString error;
    if (!PatchSetFile::write(path, patchOverlay->patches(), &error)) {
        ShowPatchFileProblem(tr("The patch set could not be saved."), error);
        return;
    }
    ui->mainStatusBar->showMessage(tr("Patch set saved to %1").arg(QFileInfo(path).fileName()));
}

void CVCImageWindow::OpenPatchSet()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Open patch set"), lastPatchDir,
                                                      tr("patch set (*.json)"));
    if (path.isEmpty())
        return;
    openPatchSet(path);
}

void CVCImageWindow::openPatchSet(const QString &path)
{
    lastPatchDir = QFileInfo(path).absolutePath();
    const PatchSetReading reading = PatchSetFile::read(path);
    if (!reading.ok()) {
        ShowPatchFileProblem(tr("The patch set could not be opened."), reading.error);
        return;
    }
    statusNotes.clear();
    AdoptPatchSet(reading.patches);
}

void CVCImageWindow::AdoptPatchSet(const QVector<Patch> &patches)
{
    patchOverlay->setPatches(patches);
    patchRows.resize(1);
    patchRowMeasured.resize(1);
    patchRowStamps.resize(1);
    for (const Patch &patch : patches) {
        patchRows << PatchRow{patch, {}};
        patchRowMeasured << false;
        patchRowStamps << 0;
    }
    patchTable->choose(0);
    if (!shownFileName.isEmpty())
        KeepPatchesOnPicture();
    MeasureAllPatchRows();
}

void CVCImageWindow::ExportPatchTable()
{
    if (!FinishPatchMeasuring())
        return;
    const QString csvFilter = tr("CSV (*.csv)");
    const QString jsonFilter = tr("JSON (*.json)");
    const QString cgatsFilter = tr("CGATS.17 (*.txt *.cgats)");
    QString chosenFilter = csvFilter;
    const QString path = QFileDialog::getSaveFileName(this, tr("Export"), lastPatchDir,
                                                      QStringList{csvFilter, jsonFilter, cgatsFilter}.join(";;"),
                                                      &chosenFilter);
    if (path.isEmpty())
        return;
    lastPatchDir = QFileInfo(path).absolutePath();
    const PatchTable table(MeasuredPatchRows(), session.numberOfInks(), ui->lchRB->isChecked());
    QString error;
    bool written = false;
    if (chosenFilter == cgatsFilter)
        written = table.writeCgats(path, &error);
    else if (chosenFilter == jsonFilter)
        written = writeWhole(path, table.json(), &error);
    else
        written = writeWhole(path, table.csv().toUtf8(), &error);
    if (!written) {
        ShowPatchFileProblem(tr("The table could not be exported."), error);
        return;
    }
    ui->mainStatusBar->showMessage(tr("Table exported to %1").arg(QFileInfo(path).fileName()));
}

void CVCImageWindow::ExportCheckReport()
{
    if (!FinishPatchMeasuring() || !barCheck || !barCheck->ok())
        return;
    const QString pdfFilter = tr("PDF report (*.pdf)");
    const QString jsonFilter = tr("JSON, patches and rules (*.json)");
    const QString patchCsvFilter = tr("CSV, patch rows (*.csv)");
    const QString ruleCsvFilter = tr("CSV, rule rows (*.csv)");
    const QString cgatsFilter = tr("CGATS.17, measured values (*.txt *.cgats)");
    QString chosenFilter = pdfFilter;
    // The report is named after the picture it judges.
    const QString suggested = QDir(lastPatchDir).filePath(QFileInfo(shownFileName).completeBaseName() + "-check.pdf");
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Export check report"), suggested,
        QStringList{pdfFilter, jsonFilter, patchCsvFilter, ruleCsvFilter, cgatsFilter}.join(";;"), &chosenFilter);
    if (path.isEmpty())
        return;
    lastPatchDir = QFileInfo(path).absolutePath();
    QString error;
    bool written = false;
    if (chosenFilter == cgatsFilter)
        written = saveMeasuredCgats(*barCheck, path, &error);
    else if (chosenFilter == jsonFilter)
        written = writeWhole(path, checkJson(*barCheck, shownFileName).toUtf8(), &error);
    else if (chosenFilter == patchCsvFilter)
        written = writeWhole(path, patchRowsCsv(*barCheck).toUtf8(), &error);
    else if (chosenFilter == ruleCsvFilter)
        written = writeWhole(path, ruleRowsCsv(*barCheck).toUtf8(), &error);
    else
        written = writeCheckPdf(*barCheck,
                                {shownFileName, QFileInfo(barReference->file).fileName(),
                                 toleranceSets.value(chosenToleranceSet).name, session.profileText(), renderingIntent()},
                                path, &error);
    if (!written) {
        ShowPatchFileProblem(tr("The check report could not be exported."), error);
        return;
    }
    ui->mainStatusBar->showMessage(tr("Check report exported to %1").arg(QFileInfo(path).fileName()));
}

void CVCImageWindow::ShowPatchFileProblem(const QString &heading, const QString &reason)
{
    work->hideBusyCursor();
    QMessageBox box(QMessageBox::Warning, tr("Warning"), heading, QMessageBox::Ok, this);
    box.setInformativeText(reason);
    box.exec();
}
