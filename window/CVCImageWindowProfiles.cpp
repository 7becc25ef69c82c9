// Choosing the profile that describes the image, and the destination panel.
#include "CVCImageWindow.h"
#include "ui_ImageWindow.h"

#include "failuretext.h"

#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>

void CVCImageWindow::actionEmbeddedCB()
{
    BusyCursorScope busy(*work);
    statusNotes.clear();
    const bool embedded = ui->embeddedCB->isChecked();
    ShowProfileSource(embedded);
    SessionResult result = session.apply(session.useEmbeddedProfile(embedded, monitorProfile()));
    ShowChoice(result);
}

void CVCImageWindow::ShowProfileSource(bool embedded)
{
    ui->embeddedF->setVisible(embedded);
    ui->loadImageF->setVisible(!embedded);
}

void CVCImageWindow::actionLoadImageICC()
{
    const QString fileName = ChooseProfileFile();
    if (fileName.isEmpty())
        return;
    BusyCursorScope busy(*work);
    statusNotes.clear();
    SessionResult result = session.apply(session.useHandLoadedProfile(fileName, monitorProfile()));
    if (result.failure.kind == FailureKind::ProfileUnreadable) {
        qDebug("No SRC profile!");
        statusNotes.add(FailureText::profileKeptNote(fileName));
        return;
    }
    if (result.failure.kind == FailureKind::ProfileMismatch) {
        ShowFailure(result.failure);
        return;
    }
    ui->loadedImageL->setText(session.profileText());
    ShowChoice(result);
}

void CVCImageWindow::actionSeparationCB()
{
    if (!ui->separationCB->isChecked()) {
        ui->cmykF->hide();
        return;
    }
    ui->outputCB->hide();
    ui->outputCB->setChecked(false);
    ui->loadDestinationF->hide();
    ui->cmykF->show();
}

void CVCImageWindow::actionOutputCB()
{
    if (ui->outputCB->isChecked()) {
        ui->separationCB->setChecked(false);
        return;
    }
    ui->outputCB->hide();
    ui->outputCB->setChecked(false);
    ui->loadDestinationF->hide();
    ui->separationCB->setChecked(true);
}

void CVCImageWindow::actionLoadDestinationICC()
{
    const QString fileName = ChooseProfileFile();
    if (fileName.isEmpty())
        return;
    destinationProfile = ColourProfile::fromFile(fileName);
    if (!destinationProfile) {
        qDebug("No SRC profile!");
        return;
    }
    ui->loadedDestinationL->setText(destinationProfile.descriptionOr(fileName.section('/', -1)));
}

QString CVCImageWindow::ChooseProfileFile()
{
    const QString fileName =
        QFileDialog::getOpenFileName(this, tr("Open"), lastProfileDir, tr("ICC profile (*.icc *.icm)"));
    if (!fileName.isEmpty())
        lastProfileDir = QFileInfo(fileName).absolutePath();
    return fileName;
}
