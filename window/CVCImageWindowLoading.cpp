// Opening an image: its attributes, its profile (embedded or default) and the ink pages.
#include "CVCImageWindow.h"
#include "ui_ImageWindow.h"

#include "resourcedir.h"

#include <QColorSpace>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QImageReader>

void CVCImageWindow::actionLoadImage()
{
    const QString fileName = QFileDialog::getOpenFileName(this, tr("Open"), lastImageDir,
                                                          tr("image file (*.jpg *.jpeg *.tif *.tiff)"));
    if (fileName.isEmpty())
        return;
    lastImageDir = QFileInfo(fileName).absolutePath();
    ResetPanel();
    statusNotes.clear();

    QImageReader reader(fileName);
    if (!reader.canRead()) {
        showWarning(tr("noImage"), false, FileReason(fileName, reader.errorString()));
        return;
    }
    for (QImage *image : {&displayImage, &sourceImage, &inkPage1Image, &inkPage2Image}) {
        if (!image->isNull())
            *image = QImage();
    }
    // The same reader goes on to the ink images, so a separation is decoded once.
    sourceImage = reader.read();
    if (sourceImage.isNull()) {
        showWarning(tr("imageReadFail"), false, FileReason(fileName, reader.errorString()));
        return;
    }
    sourceProfile.reset();
    imageProfile.reset();
    labProfile.reset();
    labTransform.reset();
    imageAttributes.clear();
    ParseAttributes(reader.text("Description"));
    TakeEmbeddedProfile();
    if (!imageAttributes.contains("NumberOfInks"))
        imageAttributes.insert("NumberOfInks", channelsOfProfile(sourceProfile.get()));
    if (numberOfInks() > 4) {
        RefuseImage(tr("The file announces %1 inks; at most four inks can be measured.").arg(numberOfInks()));
        return;
    }
    if (imageAttributes.value("Photometric") == 8) {
        RefuseImage(tr("It is a CIELab image; grey, two-colour, RGB and four-ink images can be measured."));
        return;
    }
    if (!sourceProfile) {
        sourceProfileText = DefaultProfileText();
        assignDefaultProfile();
    }
    if (numberOfInks() > 3) {
        reader.jumpToImage(1);
        inkPage1Image = reader.read();
        reader.jumpToImage(2);
        inkPage2Image = reader.read();
        // Without its ink pages a separation would measure as blank paper.
        if (!InkPagesCover()) {
            RefuseImage(tr("The ink images of this four-ink file are missing or smaller than the picture."));
            return;
        }
    }

    ui->embeddedL->setText(sourceProfileText);
    ui->loadedImageL->setText(sourceProfileText);
    ui->imageF->setEnabled(true);
    ui->embeddedF->show();
    ui->embeddedCB->show();
    ui->embeddedCB->setEnabled(true);
    update();
    BuildDisplayImage();
    ui->separationCB->setChecked(false);
    if (numberOfInks() > 3)
        ui->destinationF->show();
    if (SetupLabTransform())
        ui->imageL->setText(fileName.section('/', -1));
    else
        showWarning(tr("noTransform"), false,
                    tr("Little CMS cannot convert %1 channels through the profile \"%2\" to L*a*b*.")
                        .arg(numberOfInks())
                        .arg(sourceProfileText));
}

QString CVCImageWindow::FileReason(const QString &fileName, const QString &readerSays) const
{
    return tr("File: %1\nReason: %2").arg(QDir::toNativeSeparators(fileName), readerSays);
}

// "key:value" parts separated by ";"; a later key overwrites an earlier one.
void CVCImageWindow::ParseAttributes(const QString &description)
{
    for (const QString &part : description.split(';', Qt::SkipEmptyParts)) {
        const QStringList pieces = part.split(':', Qt::SkipEmptyParts);
        if (pieces.size() == 2)
            imageAttributes.insert(pieces[0], pieces[1].toInt(nullptr, 10));
    }
}

void CVCImageWindow::TakeEmbeddedProfile()
{
    const QByteArray icc = sourceImage.colorSpace().iccProfile();
    if (icc.isEmpty())
        return;
    sourceProfile.reset(cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size())));
    if (!sourceProfile) {
        statusNotes.add(tr("The profile embedded in the file is damaged; the default profile is used instead."));
        return;
    }
    const QString description = profileDescription(sourceProfile.get());
    sourceProfileText = description.isEmpty() ? QString("embedded") : description;
}

QString CVCImageWindow::DefaultProfileText() const
{
    switch (numberOfInks()) {
    case 1:
        return tr("none (Default Gray assigned)");
    case 3:
        return tr("none (sRGB assigned)");
    case 4:
        return tr("none (Default CMYK assigned)");
    default:
        return tr("none (Default %1Color assigned)").arg(numberOfInks());
    }
}

void CVCImageWindow::assignDefaultProfile()
{
    if (numberOfInks() == 3) {
        sourceProfile.reset(cmsCreate_sRGBProfile());
        return;
    }
    sourceProfile.reset(cmsOpenProfileFromFile(DefaultProfileFile().toLocal8Bit().constData(), "r"));
}

QString CVCImageWindow::DefaultProfileFile() const
{
    const int inks = numberOfInks();
    const QString name = inks == 1   ? QString("/DefaultGray.icc")
                         : inks == 4 ? QString("/DefaultCMYK.icc")
                                     : QString("/Default%1Color.icc").arg(inks);
    return getResourceDir() + name;
}

bool CVCImageWindow::InkPagesCover() const
{
    for (const QImage *page : {&inkPage1Image, &inkPage2Image}) {
        if (page->isNull() || page->width() < sourceImage.width() || page->height() < sourceImage.height())
            return false;
    }
    return true;
}

void CVCImageWindow::RefuseImage(const QString &reason)
{
    showWarning(tr("This image is not supported!"), false, reason);
    if (QGraphicsScene *scene = ui->graphicsView->scene())
        scene->clear();
}

QString CVCImageWindow::profileDescription(cmsHPROFILE profile) const
{
    if (!profile)
        return QString();
    const cmsUInt32Number size = cmsGetProfileInfo(profile, cmsInfoDescription, "en", "US", nullptr, 0);
    if (size == 0)
        return QString();
    // The wide-character size is always enough for the single-byte text.
    QByteArray buffer(int(size), '\0');
    const cmsUInt32Number count =
        cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", buffer.data(), size);
    if (count < size)
        buffer[int(count)] = '\0';
    return QString::fromUtf8(buffer.constData());
}

int CVCImageWindow::channelsOfProfile(cmsHPROFILE profile) const
{
    if (!profile)
        return 3;
    switch (cmsGetColorSpace(profile)) {
    case cmsSigGrayData:
    case cmsSig1colorData:
    case cmsSigMCH1Data:
        return 1;
    case cmsSig2colorData:
    case cmsSigMCH2Data:
        return 2;
    case cmsSigCmykData:
    case cmsSigLuvKData:
    case cmsSig4colorData:
    case cmsSigMCH4Data:
        return 4;
    case cmsSig5colorData:
    case cmsSigMCH5Data:
        return 5;
    case cmsSig6colorData:
    case cmsSigMCH6Data:
        return 6;
    case cmsSig7colorData:
    case cmsSigMCH7Data:
        return 7;
    case cmsSig8colorData:
    case cmsSigMCH8Data:
        return 8;
    case cmsSig9colorData:
    case cmsSigMCH9Data:
        return 9;
    case cmsSig10colorData:
    case cmsSigMCHAData:
        return 10;
    case cmsSig11colorData:
    case cmsSigMCHBData:
        return 11;
    case cmsSig12colorData:
    case cmsSigMCHCData:
        return 12;
    case cmsSig13colorData:
    case cmsSigMCHDData:
        return 13;
    case cmsSig14colorData:
    case cmsSigMCHEData:
        return 14;
    case cmsSig15colorData:
    case cmsSigMCHFData:
        return 15;
    default:
        return 3;
    }
}
