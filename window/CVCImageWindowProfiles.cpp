// Choosing the profile that describes the image, and the destination panel.
#include "CVCImageWindow.h"
#include "ui_ImageWindow.h"

#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>

void CVCImageWindow::actionEmbeddedCB()
{
    const bool embedded = ui->embeddedCB->isChecked();
    ui->embeddedF->setVisible(embedded);
    ui->loadImageF->setVisible(!embedded);
    BuildDisplayImage();
    SetupLabTransform();
}

void CVCImageWindow::actionLoadImageICC()
{
    const QString fileName = ChooseProfileFile();
    if (fileName.isEmpty())
        return;
    // The candidate replaces the profile in force only once it is known to fit the image.
    ProfileHandle candidate(cmsOpenProfileFromFile(fileName.toLocal8Bit().constData(), "r"));
    if (!candidate) {
        qDebug("No SRC profile!");
        return;
    }
    const bool fits = profileSignatureIs(candidate.get(), ExpectedImageColorSpace(), false) &&
                      (profileSignatureIs(candidate.get(), cmsSigXYZData, true) ||
                       profileSignatureIs(candidate.get(), cmsSigLabData, true));
    if (!fits) {
        showWarning(tr("The ICC Profile does not match!"), false);
        return;
    }
    imageProfile = std::move(candidate);
    const QString description = profileDescription(imageProfile.get());
    ui->loadedImageL->setText(description.isEmpty() ? fileName.section('/', -1) : description);
    BuildDisplayImage();
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
    destinationProfile.reset(cmsOpenProfileFromFile(fileName.toLocal8Bit().constData(), "r"));
    if (!destinationProfile) {
        qDebug("No SRC profile!");
        return;
    }
    const QString description = profileDescription(destinationProfile.get());
    ui->loadedDestinationL->setText(description.isEmpty() ? fileName.section('/', -1) : description);
}

QString CVCImageWindow::ChooseProfileFile()
{
    const QString fileName =
        QFileDialog::getOpenFileName(this, tr("Open"), lastProfileDir, tr("ICC profile (*.icc *.icm)"));
    if (!fileName.isEmpty())
        lastProfileDir = QFileInfo(fileName).absolutePath();
    return fileName;
}

cmsColorSpaceSignature CVCImageWindow::colorSpaceForPhotometric(int photometric) const
{
    switch (photometric) {
    case 1:
        return cmsSigGrayData;
    case 2:
        return cmsSigRgbData;
    case 5:
        return cmsSigCmykData;
    default:
        return cmsSigLabData;
    }
}

cmsColorSpaceSignature CVCImageWindow::ExpectedImageColorSpace() const
{
    if (imageAttributes.contains("Photometric"))
        return colorSpaceForPhotometric(imageAttributes.value("Photometric"));
    // Ordinary JPEGs state no photometric code; their channel count tells the colour space.
    switch (numberOfInks()) {
    case 1:
        return cmsSigGrayData;
    case 3:
        return cmsSigRgbData;
    case 4:
        return cmsSigCmykData;
    default:
        return colorSpaceForPhotometric(0);
    }
}

bool CVCImageWindow::profileSignatureIs(cmsHPROFILE profile, cmsUInt32Number signature, bool pcs) const
{
    const cmsColorSpaceSignature actual = pcs ? cmsGetPCS(profile) : cmsGetColorSpace(profile);
    return cmsUInt32Number(actual) == signature;
}
