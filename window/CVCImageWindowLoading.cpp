// Opening an image: the session reads it; the window shows what it became.
#include "CVCImageWindow.h"
#include "ui_ImageWindow.h"

#include "defaultprofiles.h"
#include "resourcedir.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsScene>

void CVCImageWindow::actionLoadImage()
{
    const QString fileName = QFileDialog::getOpenFileName(this, tr("Open"), lastImageDir,
                                                          tr("image file (*.jpg *.jpeg *.tif *.tiff)"));
    if (fileName.isEmpty())
        return;
    lastImageDir = QFileInfo(fileName).absolutePath();
    ResetPanel();
    statusNotes.clear();

    LoadOutcome outcome = session.read(fileName);
    const Failure failure = outcome.failure;
    if (outcome.reach != LoadOutcome::Reach::NoReader)
        displayImage = QImage();
    session.adopt(std::move(outcome));
    for (const QString &note : session.image().notes)
        statusNotes.add(note);
    if (failure) {
        ShowLoadFailure(failure, fileName);
        return;
    }

    ShowSourceProfile();
    BuildDisplayImage();
    ui->separationCB->setChecked(false);
    if (session.numberOfInks() > 3)
        ui->destinationF->show();
    if (SetupLabTransform())
        ui->imageL->setText(fileName.section('/', -1));
    else
        showWarning(tr("noTransform"), false,
                    tr("Little CMS cannot convert %1 channels through the profile \"%2\" to L*a*b*.")
                        .arg(session.numberOfInks())
                        .arg(session.image().sourceProfileText));
}

void CVCImageWindow::ShowLoadFailure(const Failure &failure, const QString &fileName)
{
    const QString fileReason =
        tr("File: %1\nReason: %2").arg(QDir::toNativeSeparators(fileName), failure.reason);
    switch (failure.kind) {
    case FailureKind::NotAnImage:
        showWarning(tr("noImage"), false, fileReason);
        return;
    case FailureKind::Undecodable:
        showWarning(tr("imageReadFail"), false, fileReason);
        return;
    default:
        showWarning(tr("This image is not supported!"), false, failure.reason);
        if (QGraphicsScene *scene = ui->graphicsView->scene())
            scene->clear();
        return;
    }
}

void CVCImageWindow::ShowSourceProfile()
{
    ui->embeddedL->setText(session.image().sourceProfileText);
    ui->loadedImageL->setText(session.image().sourceProfileText);
    ui->imageF->setEnabled(true);
    ui->embeddedF->show();
    ui->embeddedCB->show();
    ui->embeddedCB->setEnabled(true);
    update();
}
