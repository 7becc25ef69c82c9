// Opening an image: the session reads and renders it on a worker; the window
// then shows what it became, in the order of a load.
#include "CVCImageWindow.h"
#include "ui_ImageWindow.h"

#include "PictureView.h"
#include "PictureZoom.h"

#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLayout>

#include <memory>

namespace {

// Groups of three digits, as a count of pixels is easiest read.
QString groupedNumber(qint64 number)
{
    QString digits = QString::number(number);
    for (int i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, ' ');
    return digits;
}

} // namespace

void CVCImageWindow::actionLoadImage()
{
    const QString fileName = QFileDialog::getOpenFileName(this, tr("Open"), lastImageDir,
                                                          tr("image file (*.jpg *.jpeg *.tif *.tiff)"));
    if (fileName.isEmpty())
        return;
    openImageFile(fileName);
}

void CVCImageWindow::openImageFile(const QString &fileName)
{
    lastImageDir = QFileInfo(fileName).absolutePath();
    QElapsedTimer clock;
    clock.start();
    BusyCursorScope busy(*work);

    const auto job = std::make_shared<LoadJob>(session.loadJob(fileName, monitorProfile(), FittedDrawingSize()));
    const QString name = fileName.section('/', -1);
    // A summary of the previous load must not run into this one's progress.
    statusNotes.clear();
    // Reading and the pass run on a worker; the panel is touched only once they are done.
    if (!work->run(tr("Loading %1…").arg(name), [job](WorkControl &control) { job->run(&control); })) {
        ShowCancelled(name);
        return;
    }
    SessionResult result = session.finishLoad(std::move(*job));
    // Too large to load: refused before anything changed, like a cancel.
    if (result.failure.kind == FailureKind::TooLarge) {
        ShowFailure(result.failure);
        return;
    }
    const qint64 counted = result.pixelsCounted;
    if (!ShowLoad(std::move(result), fileName))
        return;
    ShowLoadSummary(name, counted, clock.elapsed());
    // The values are in; the load is done for the user once the fitted picture is in view too.
    if (pictureView->showsPicture()) {
        work->holdBusyCursor();
        pictureView->whenNextShown([this] { work->releaseBusyCursor(); });
    }
}

// The size a new picture is first drawn at: fitted to the viewport as it
// will be then, without scroll bars and with the zoom bar that a first
// picture brings. Only a guess: drawn at any other size, the picture is
// drawn from its rows.
FirstDrawingSize CVCImageWindow::FittedDrawingSize() const
{
    QSize viewport = ui->graphicsView->maximumViewportSize();
    if (ui->zoomF->isHidden()) {
        const QLayout *layout = ui->zoomF->parentWidget()->layout();
        viewport.rheight() -= ui->zoomF->sizeHint().height() + (layout ? layout->spacing() : 0);
    }
    const qreal ratio = ui->graphicsView->viewport()->devicePixelRatioF();
    return [viewport, ratio](QSize picture) {
        return PictureView::deviceSize(QSizeF(picture), PictureZoom::fittedZoom(viewport, QSizeF(picture)) * ratio);
    };
}

void CVCImageWindow::openImageFiles(const QString &fileName, const QStringList &others)
{
    openImageFile(fileName);
    if (others.isEmpty())
        return;
    QStringList names;
    for (const QString &other : others)
        names << other.section('/', -1);
    statusNotes.add(tr("One image is measured at a time; not opened: %1").arg(names.join(", ")));
}

bool CVCImageWindow::ShowLoad(SessionResult &&result, const QString &fileName)
{
    shownFileName.clear();
    ResetPanel();
    statusNotes.clear();
    NoteMemoryLimit();
    ShowNotes(result);
    if (result.failure.refusesImage()) {
        // The previous picture is no longer measured; it must not stay in view.
        pictureView->clear();
        ForgetPatchMeasurements();
        ShowFailure(result.failure, fileName);
        return false;
    }
    shownFileName = fileName.section('/', -1);
    ShowSourceProfile();
    // A new picture starts fitted, whatever the zoom of the one before.
    pictureZoom->fit();
    ShowRendering(result);
    KeepPatchesOnPicture();
    ui->separationCB->setChecked(false);
    if (session.numberOfInks() > 3)
        ui->destinationF->show();
    if (ShowAverage(result)) {
        ui->imageL->setText(shownFileName);
        return true;
    }
    ShowFailure(result.failure);
    return false;
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

void CVCImageWindow::ShowLoadSummary(const QString &name, qint64 counted, qint64 elapsedMs)
{
    const QSize size = session.image().size;
    statusNotes.add(tr("%1 — %2 × %3 px, %4 pixels measured in %5 s")
                        .arg(name)
                        .arg(size.width())
                        .arg(size.height())
                        .arg(groupedNumber(counted))
                        .arg(double(elapsedMs) / 1000.0, 0, 'f', 2));
}

void CVCImageWindow::ShowCancelled(const QString &what)
{
    ui->mainStatusBar->showMessage(tr("%1: cancelled; nothing has changed.").arg(what));
}
