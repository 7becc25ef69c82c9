// Display of the image for the monitor, and the average colour it yields.
#include "CVCImageWindow.h"
#include "ui_ImageWindow.h"

#include "displayconversion.h"
#include "pixelformat.h"
#include "fastpass.h"
#include "widgetprofile.h"

#include <QDebug>
#include <QDir>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>

#include <algorithm>

int CVCImageWindow::SetupDisplayTransform(cmsHPROFILE inputProfile)
{
    const ProfileHandle monitorProfile(getWidgetProfile(this));
    if (!inputProfile) {
        qDebug("No SRC!");
        return -1;
    }
    if (!monitorProfile) {
        qDebug("No DST!");
        return -1;
    }
    cmsUInt32Number pixelFormat = 0;
    if (!getPixelFormat(numberOfInks(), &pixelFormat, &inputScale)) {
        displayTransform.reset();
        qDebug("No Display TRANSFORM!");
        return -1;
    }
    // The rendering intent chosen in the panel is for the measurement, never for the display.
    displayTransform.reset(cmsCreateTransform(inputProfile, pixelFormat, monitorProfile.get(), TYPE_RGB_FLT,
                                              INTENT_RELATIVE_COLORIMETRIC, 0));
    if (!displayTransform) {
        qDebug("No Display TRANSFORM!");
        return -1;
    }
    return 0;
}

int CVCImageWindow::ConvertToDisplay(const float pixel[4], float *red, float *green, float *blue)
{
    float rgb[3];
    convertToDisplay(displayTransform.get(), inputScale, pixel, rgb);
    *red = rgb[0];
    *green = rgb[1];
    *blue = rgb[2];
    return 0;
}

void CVCImageWindow::BuildDisplayImage()
{
    const bool useLoadedProfile = !ui->embeddedCB->isChecked() && imageProfile;
    cmsHPROFILE inputProfile = useLoadedProfile ? imageProfile.get() : sourceProfile.get();
    auto *scene = new QGraphicsScene;
    const bool displayable = SetupDisplayTransform(inputProfile) == 0;

    // The average does not depend on the display, so the pixels are summed
    // even when the picture has to be shown unconverted.
    const PixelSources sources{sourceImage, inkPage1Image, inkPage2Image, numberOfInks()};
    const PixelTotals totals =
        fastPass(sources, displayable ? displayTransform.get() : nullptr, inputScale, &displayImage);
    if (!displayable)
        displayImage = sourceImage;
    pixelCount = totals.pixelCount;
    channelSums = totals.channelSums;

    auto *picture = new QGraphicsPixmapItem(QPixmap::fromImage(displayImage));
    scene->addItem(picture);
    ShowScene(scene);
    ui->graphicsView->fitInView(picture, Qt::KeepAspectRatio);
    update();
    if (totals.pixelCount == 0)
        statusNotes.add(tr("No pixel counted: every pixel is masked"));
    if (!sourceProfile)
        showWarning(tr("noProfile"), false,
                    tr("The default profile %1 could not be opened.").arg(QDir::toNativeSeparators(DefaultProfileFile())));
}

void CVCImageWindow::ShowScene(QGraphicsScene *scene)
{
    if (QGraphicsScene *previous = ui->graphicsView->scene()) {
        previous->clear();
        delete previous;
    }
    ui->graphicsView->setScene(scene);
}

bool CVCImageWindow::SetupLabTransform()
{
    cmsUInt32Number pixelFormat = 0;
    const bool hasFormat = getPixelFormat(numberOfInks(), &pixelFormat, &inputScale);
    labProfile.reset(cmsCreateLab2Profile(nullptr));
    // No fallback here: without the chosen profile there is no measurement.
    cmsHPROFILE inputProfile = ui->embeddedCB->isChecked() ? sourceProfile.get() : imageProfile.get();
    const cmsUInt32Number intent = cmsUInt32Number(ui->renderingCB->currentIndex());
    labTransform.reset(hasFormat && inputProfile
                           ? cmsCreateTransform(inputProfile, pixelFormat, labProfile.get(), TYPE_Lab_FLT, intent, 0)
                           : nullptr);
    if (!labTransform)
        return false;
    StartComputation();
    return true;
}

void CVCImageWindow::StartComputation()
{
    if (pixelCount == 0)
        pixelCount = 1;
    float average[4];
    for (int i = 0; i < 4; ++i)
        average[i] = float(channelSums[i] / double(pixelCount));
    if (!ConvertToLab(average, &averageLab[0], &averageLab[1], &averageLab[2])) {
        qDebug("Stop");
        return;
    }
    LabToLCh(averageLab[0], averageLab[1], averageLab[2], &averageLch[0], &averageLch[1], &averageLch[2]);
    ShowValues();
    PaintSwatch();
    ui->labF->show();
    if (numberOfInks() == 4)
        ShowInkCoverage(average);
    if (ui->separationCB->isChecked())
        ui->cmykF->show();
}

bool CVCImageWindow::ConvertToLab(const float pixel[4], float *L, float *a, float *b)
{
    if (!labTransform)
        return false;
    float scaled[4];
    for (int i = 0; i < 4; ++i)
        scaled[i] = pixel[i] * inputScale;
    float lab[3];
    cmsDoTransform(labTransform.get(), scaled, lab, 1);
    *L = lab[0];
    *a = lab[1];
    *b = lab[2];
    return true;
}

void CVCImageWindow::LabToLCh(float L, float a, float b, float *lightness, float *chroma, float *hue)
{
    const cmsCIELab lab{double(L), double(a), double(b)};
    cmsCIELCh lch;
    cmsLab2LCh(&lch, &lab);
    *lightness = float(lch.L);
    *chroma = float(lch.C);
    *hue = float(lch.h);
}

void CVCImageWindow::ShowValues()
{
    const bool showLab = ui->labRB->isChecked();
    ui->label_a->setText(showLab ? "a*" : "C*");
    ui->label_b->setText(showLab ? "b*" : "h*");
    const std::array<float, 3> &values = showLab ? averageLab : averageLch;
    QLabel *labels[3] = {ui->lL, ui->aL, ui->bL};
    for (int i = 0; i < 3; ++i)
        labels[i]->setText(QString::number(double(values[i]), 'f', 2));
    if (!showLab)
        return;
    // A tiny negative a* or b* is neutral; a minus sign on zero would suggest a cast.
    for (QLabel *label : {ui->aL, ui->bL}) {
        if (label->text() == "-0.00")
            label->setText("0.00");
    }
}

void CVCImageWindow::PaintSwatch()
{
    const ProfileHandle monitorProfile(getWidgetProfile(this));
    const cmsUInt32Number intent = cmsUInt32Number(ui->renderingCB->currentIndex());
    const TransformHandle toMonitor(
        cmsCreateTransform(labProfile.get(), TYPE_Lab_FLT, monitorProfile.get(), TYPE_RGB_FLT, intent, 0));
    if (!toMonitor)
        return;
    float rgb[3];
    cmsDoTransform(toMonitor.get(), averageLab.data(), rgb, 1);
    // An average outside the monitor's gamut is shown as the nearest colour it can show;
    // Qt would paint an out-of-range rgb() black.
    QString levels[3];
    for (int i = 0; i < 3; ++i)
        levels[i] = QString::number(int(std::clamp(double(rgb[i]) * 255.0, 0.0, 255.0)));
    ui->colorL->setStyleSheet(
        QString("QLabel { background-color : rgb(%1, %2, %3);}").arg(levels[0], levels[1], levels[2]));
    ui->colorL->update();
}

void CVCImageWindow::ShowInkCoverage(const float average[4])
{
    QLabel *labels[4] = {ui->cL, ui->mL, ui->yL, ui->kL};
    for (int i = 0; i < 4; ++i)
        labels[i]->setText(QString::number(double(average[i]), 'f', 0) + "%");
    const float total = average[0] + average[1] + average[2] + average[3];
    ui->tL->setText(QString::number(double(total), 'f', 0) + "%");
}

void CVCImageWindow::rBClicked(bool)
{
    ShowValues();
}

void CVCImageWindow::actionRenderingCB(int)
{
    // The intent is read again at the next measurement; nothing to redo now.
}
