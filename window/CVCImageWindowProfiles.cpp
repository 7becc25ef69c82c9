// Choosing the profile that describes the image, and the destination panel.
#include "CVCImageWindow.h"
#include "ui_ImageWindow.h"

#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

void CVCImageWindow::actionEmbeddedCB()
{
    BusyCursorScope busy(*work);
    statusNotes.clear();
    const bool embedded = ui->embeddedCB->isChecked();
    ui->embeddedF->setVisible(embedded);
    ui->loadImageF->setVisible(!embedded);
    if (!BuildDisplayImage()) {
        // Abandoned: the switch goes back to what is still shown.
        ui->embeddedCB->setChecked(!embedded);
        ui->embeddedF->setVisible(!embedded);
        ui->loadImageF->setVisible(embedded);
        ShowCancelled(shownFileName);
        return;
    }
    SetupLabTransform();
}

void CVCImageWindow::actionLoadImageICC()
{
    const QString fileName = ChooseProfileFile();
    if (fileName.isEmpty())
        return;
    BusyCursorScope busy(*work);
    statusNotes.clear();
    Failure refused;
    ColourProfile candidate = session.openImageProfile(fileName, &refused);
    if (refused.kind == FailureKind::ProfileUnreadable) {
        qDebug("No SRC profile!");
        statusNotes.add(tr("The profile %1 could not be read; the profile in force is kept.")
                            .arg(QDir::toNativeSeparators(fileName)));
        return;
    }
    if (refused) {
        showWarning(tr("The ICC Profile does not match!"), false, refused.reason);
        return;
    }
    const QString previousText = ui->loadedImageL->text();
    ui->loadedImageL->setText(candidate.descriptionOr(fileName.section('/', -1)));
    ColourProfile previous = session.replaceImageProfile(std::move(candidate));
    if (!BuildDisplayImage()) {
        session.replaceImageProfile(std::move(previous));
        ui->loadedImageL->setText(previousText);
        ShowCancelled(fileName.section('/', -1));
        return;
    }
    SetupLabTransform();
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

bool CVCImageWindow::useEmbeddedProfile() const
{
    return ui->embeddedCB->isChecked();
}
