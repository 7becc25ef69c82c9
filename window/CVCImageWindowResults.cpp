// Display of the image for the monitor, and the average colour it yields.
#include "CVCImageWindow.h"
#include "ui_ImageWindow.h"

#include "PatchOverlay.h"
#include "PictureRendering.h"
#include "PictureView.h"
#include "PictureZoom.h"
#include "PointerReadout.h"
#include "valuetexts.h"
#include "widgetprofile.h"

#include <QTimer>

#include <memory>

void CVCImageWindow::ShowChoice(SessionResult &result)
{
    ShowNotes(result);
    ShowRendering(result);
    ShowAverage(result);
}

void CVCImageWindow::BuildDisplayImage()
{
    SessionResult result = session.apply(session.redraw(monitorProfile()));
    ShowNotes(result);
    ShowRendering(result);
}

void CVCImageWindow::ShowNotes(const SessionResult &result)
{
    for (const QString &note : result.notes)
        statusNotes.add(note);
}

void CVCImageWindow::ShowRendering(SessionResult &result)
{
    if (result.display)
        ShowPicture();
    if (result.profileMissing)
        ShowFailure(result.profileMissing);
}

void CVCImageWindow::ShowPicture()
{
    const ColourProfile monitor = monitorProfile();
    const LoadedImage &image = session.image();
    pictureView->show(std::make_shared<const PictureRendering>(image.rows, image.pixelSources(),
                                                               session.displayProfile(), monitor.handle(),
                                                               image.firstDrawing));
    ui->zoomF->show();
    if (pictureZoom->fitted())
        pictureZoom->fit();
    update();
}

// Another monitor, or another profile for it: the picture and the swatch are
// rendered again; the values do not change.
void CVCImageWindow::RenderForMonitor()
{
    if (!session.canShowConverted() || !PictureShown())
        return;
    if (work->busy()) {
        QTimer::singleShot(200, this, [this] { RenderForMonitor(); });
        return;
    }
    BuildDisplayImage();
    if (ui->labF->isHidden())
        return;
    PaintSwatch();
    ShowPatchRows();
}

bool CVCImageWindow::PictureShown() const
{
    return pictureView->showsPicture();
}

bool CVCImageWindow::SetupLabTransform()
{
    return ShowAverage(session.setIntent(renderingIntent()));
}

bool CVCImageWindow::ShowAverage(const SessionResult &result)
{
    if (!result.average) {
        ForgetPatchMeasurements();
        return false;
    }
    shownAverage = *result.average;
    imageAverage = shownAverage;
    ShowValues();
    PaintSwatch();
    ui->labF->show();
    if (session.numberOfInks() == 4)
        ShowInkCoverage();
    if (ui->separationCB->isChecked())
        ui->cmykF->show();
    // Every row follows the choices the whole picture was just measured under.
    MeasureAllPatchRows();
    return true;
}

ColourProfile CVCImageWindow::monitorProfile() const
{
    return ColourProfile::adopt(getWidgetProfile(this));
}

int CVCImageWindow::renderingIntent() const
{
    return ui->renderingCB->currentIndex();
}

void CVCImageWindow::ShowValues()
{
    const bool showLab = ui->labRB->isChecked();
    ui->label_a->setText(showLab ? "a*" : "C*");
    ui->label_b->setText(showLab ? "b*" : "h*");
    const QStringList texts = colourValueTexts(shownAverage, !showLab);
    QLabel *labels[3] = {ui->lL, ui->aL, ui->bL};
    for (int i = 0; i < 3; ++i)
        labels[i]->setText(texts[i]);
}

void CVCImageWindow::PaintSwatch()
{
    // A patch without values has no colour either.
    if (!ChosenRowMeasured()) {
        ui->colorL->setStyleSheet(QString());
        return;
    }
    const ColourProfile monitor = monitorProfile();
    const std::optional<std::array<int, 3>> swatch = swatchLevels(shownAverage.lab, renderingIntent(), monitor.handle());
    if (!swatch)
        return;
    const std::array<int, 3> &levels = *swatch;
    ui->colorL->setStyleSheet(QString("QLabel { background-color : rgb(%1, %2, %3);}")
                                  .arg(levels[0])
                                  .arg(levels[1])
                                  .arg(levels[2]));
    ui->colorL->update();
}

void CVCImageWindow::ShowInkCoverage()
{
    QLabel *labels[4] = {ui->cL, ui->mL, ui->yL, ui->kL};
    for (size_t i = 0; i < 4; ++i)
        labels[i]->setText(QString::number(double(shownAverage.channels[i]), 'f', 0) + "%");
    ui->tL->setText(QString::number(double(shownAverage.inkTotal), 'f', 0) + "%");
}

std::optional<QString> CVCImageWindow::DescribePixel(QPoint pixel) const
{
    if (!PictureShown())
        return std::nullopt;
    if (!QRect(QPoint(), session.image().size).contains(pixel))
        return std::nullopt;
    const QString place = tr("x %1, y %2").arg(pixel.x()).arg(pixel.y());
    // A picture beyond the memory budget is not kept; its pixels would have to be decoded again.
    const std::optional<PixelReading> reading = session.readPixel(pixel.x(), pixel.y());
    if (!reading)
        return place;
    QStringList parts{place,
                      sourceValuesText(reading->values, session.numberOfInks())};
    switch (reading->mask) {
    case PixelMask::GreenKey:
        parts << tr("left out: the green key");
        break;
    case PixelMask::FullInk:
        parts << tr("left out: all four inks at 100 %");
        break;
    case PixelMask::Transparent:
        parts << tr("left out: transparent");
        break;
    case PixelMask::Counted:
        break;
    }
    if (reading->lab) {
        AverageColour colour;
        colour.lab = *reading->lab;
        const QStringList lab = colourValueTexts(colour, false);
        parts << QString("L* %1 a* %2 b* %3").arg(lab[0], lab[1], lab[2]);
    }
    return parts.join("   ");
}

void CVCImageWindow::rBClicked(bool)
{
    ShowValues();
    ShowPatchRows();
}

void CVCImageWindow::actionRenderingCB(int)
{
    // The values shown must always be those of the intent shown: the kept
    // sums are converted again, nothing is read again. The session follows
    // the panel even when no values are shown, for the pixel under the pointer.
    const SessionResult result = session.setIntent(renderingIntent());
    if (!shownFileName.isEmpty() && !ui->labF->isHidden())
        ShowAverage(result);
}
