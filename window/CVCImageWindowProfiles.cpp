// Choosing the profile that describes the image, and the destination panel.
#include "CVCImageWindow.h"
#include "ui_ImageWindow.h"

#include "colourspacename.h"

#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

void CVCImageWindow::actionEmbeddedCB()
{
    statusNotes.clear();
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
    statusNotes.clear();
    // The candidate replaces the profile in force only once it is known to fit the image.
    ProfileHandle candidate(cmsOpenProfileFromFile(fileName.toLocal8Bit().constData(), "r"));
    if (!candidate) {
        qDebug("No SRC profile!");
        statusNotes.add(tr("The profile %1 could not be read; the profile in force is kept.")
                            .arg(QDir::toNativeSeparators(fileName)));
        return;
    }
    const QString mismatch = ProfileMismatch(candidate.get());
    if (!mismatch.isEmpty()) {
        showWarning(tr("The ICC Profile does not match!"), false, mismatch);
        return;
    }
    imageProfile = std::move(candidate);
    const QString description = profileDescription(imageProfile.get());
    ui->loadedImageL->setText(description.isEmpty() ? fileName.section('/', -1) : description);
    BuildDisplayImage();
    SetupLabTransform();
}

// Why a hand-loaded profile cannot describe the image; empty when it can.
QString CVCImageWindow::ProfileMismatch(cmsHPROFILE candidate) const
{
    const cmsColorSpaceSignature expected = ExpectedImageColorSpace();
    if (!profileSignatureIs(candidate, expected, false))
        return tr("The profile's colour space is %1; this image needs %2.")
            .arg(colourSpaceName(cmsGetColorSpace(candidate)), colourSpaceName(expected));
    if (!profileSignatureIs(candidate, cmsSigXYZData, true) && !profileSignatureIs(candidate, cmsSigLabData, true))
        return tr("The profile connects through %1; only XYZ and L*a*b* connections can be used.")
            .arg(colourSpaceName(cmsGetPCS(candidate)));
    return QString();
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
