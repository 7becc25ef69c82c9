// Opening an image: the session reads and renders it on a worker; the window
// then shows what it became, in the order of a load.
#include "CVCImageWindow.h"
#include "ui_ImageWindow.h"

#include "PictureZoom.h"
#include "resourcedir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsScene>

#include <memory>

namespace {

// What the worker of a load hands back; it owns its results, since a stuck
// worker may be abandoned and finish after the window has moved on.
struct LoadResult {
    LoadOutcome outcome;
    RenderedDisplay rendered;
};

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

    const auto monitor = std::make_shared<const ColourProfile>(monitorProfile());
    const auto result = std::make_shared<LoadResult>();
    const QString resourceDir = getResourceDir();
    const QString name = fileName.section('/', -1);
    // A summary of the previous load must not run into this one's progress.
    statusNotes.clear();
    // Reading and the pass run on a worker; the panel is touched only once they are done.
    const bool finished = work->run(tr("Loading %1…").arg(name), [=](WorkControl &control) {
        control.setPhase(0, 400);
        result->outcome = loadImageFile(fileName, resourceDir, &control);
        if (result->outcome.failure || control.cancelled())
            return;
        control.setPhase(400, 1000);
        const LoadedImage &image = result->outcome.image;
        result->rendered = renderDisplay(image.pixelSources(), image.sourceProfile.handle(), monitor->handle(), &control);
    });
    if (!finished) {
        ShowCancelled(name);
        return;
    }
    // Too large to load: refused before anything changed, like a cancel.
    if (result->outcome.failure.kind == FailureKind::TooLarge) {
        showWarning(tr("imageTooLarge"), false, result->outcome.failure.reason);
        return;
    }
    const qint64 counted = result->rendered.totals.pixelCount;
    if (ShowLoad(std::move(result->outcome), std::move(result->rendered), fileName))
        ShowLoadSummary(name, counted, clock.elapsed());
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

bool CVCImageWindow::ShowLoad(LoadOutcome &&outcome, RenderedDisplay &&rendered, const QString &fileName)
{
    shownFileName.clear();
    ResetPanel();
    statusNotes.clear();
    NoteMemoryLimit();
    const Failure failure = outcome.failure;
    if (outcome.reach != LoadOutcome::Reach::NoReader)
        displayImage = QImage();
    session.adopt(std::move(outcome));
    for (const QString &note : session.image().notes)
        statusNotes.add(note);
    if (failure) {
        // The previous picture is no longer measured; it must not stay in view.
        ShowScene(new QGraphicsScene);
        ShowLoadFailure(failure, fileName);
        return false;
    }
    shownFileName = fileName.section('/', -1);
    ShowSourceProfile();
    // A new picture starts fitted, whatever the zoom of the one before.
    pictureZoom->fit();
    ShowDisplay(std::move(rendered));
    ui->separationCB->setChecked(false);
    if (session.numberOfInks() > 3)
        ui->destinationF->show();
    if (SetupLabTransform()) {
        ui->imageL->setText(shownFileName);
        return true;
    }
    showWarning(tr("noTransform"), false, session.noTransformReason(session.image().sourceProfileText));
    return false;
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

void CVCImageWindow::ShowLoadSummary(const QString &name, qint64 counted, qint64 elapsedMs)
{
    const QImage &picture = session.image().picture;
    statusNotes.add(tr("%1 — %2 × %3 px, %4 pixels measured in %5 s")
                        .arg(name)
                        .arg(picture.width())
                        .arg(picture.height())
                        .arg(groupedNumber(counted))
                        .arg(double(elapsedMs) / 1000.0, 0, 'f', 2));
}

void CVCImageWindow::ShowCancelled(const QString &what)
{
    ui->mainStatusBar->showMessage(tr("%1: cancelled; nothing has changed.").arg(what));
}
