#include "BackgroundWork.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// Short work finishes unnoticed; longer work shows its progress after this.
constexpr int progressDelayMs = 250;
// A cancelled worker that has not stopped after this is left to finish alone.
constexpr int abandonDelayMs = 500;

// What the worker and the waiting window share: the worker tells the loop
// that it is done for as long as the loop still waits for it.
struct WorkerLink {
    std::mutex mutex;
    QEventLoop *loop = nullptr;

    void finished()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (loop)
            QMetaObject::invokeMethod(loop, "quit", Qt::QueuedConnection);
    }
    void forget()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        loop = nullptr;
    }
};

} // namespace

// What started workers and the window share: a worker tells of its end for
// as long as the window is there, and the window, when it goes, waits a
// moment for the workers it cancelled.
struct BackgroundWork::StartedLink {
    std::mutex mutex;
    std::condition_variable allEnded;
    BackgroundWork *owner = nullptr;
    int running = 0;

    void ended(const std::shared_ptr<WorkControl> &work)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (owner)
            QMetaObject::invokeMethod(
                owner, [window = owner, work] { window->workerEnded(work); }, Qt::QueuedConnection);
        --running;
        allEnded.notify_all();
    }
};

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

BackgroundWork::BackgroundWork(QMainWindow *window)
    : QObject(window)
    , window(window)
    , title(new QLabel(window))
    , progressBar(new QProgressBar(window))
    , cancelButton(new QPushButton(tr("Cancel"), window))
    , progressTimer(new QTimer(this))
    , abandonTimer(new QTimer(this))
    , startedLink(std::make_shared<StartedLink>())
{
    startedLink->owner = this;
    abandonTimer->setSingleShot(true);
    abandonTimer->setInterval(abandonDelayMs);
    progressBar->setRange(0, 1000);
    progressBar->setMaximumWidth(200);
    progressBar->setTextVisible(false);
    cancelButton->setObjectName("cancelWorkPB");
    progressBar->setObjectName("workProgress");
    title->setObjectName("workTitleL");
    QStatusBar *statusBar = window->statusBar();
    statusBar->addPermanentWidget(title);
    statusBar->addPermanentWidget(progressBar);
    statusBar->addPermanentWidget(cancelButton);
    hideProgress();
    connect(cancelButton, &QPushButton::clicked, this, &BackgroundWork::cancel);
    connect(progressTimer, &QTimer::timeout, this, [this] {
        if (const std::shared_ptr<WorkControl> &shown = control ? control : startedControl)
            progressBar->setValue(shown->progress());
    });
}

BackgroundWork::~BackgroundWork()
{
    if (startedControl)
        startedControl->cancel();
    std::unique_lock<std::mutex> lock(startedLink->mutex);
    startedLink->owner = nullptr;
    // A cancelled job stops within a row or two; one that blocks is left behind.
    startedLink->allEnded.wait_for(lock, std::chrono::milliseconds(abandonDelayMs),
                                   [this] { return startedLink->running == 0; });
}

bool BackgroundWork::run(const QString &workTitle, std::function<void(WorkControl &)> job)
{
    endStarted(Ending::Interrupted);
    const auto work = std::make_shared<WorkControl>();
    control = work;
    showProgressSoon(workTitle);
    qApp->installEventFilter(this);

    QEventLoop loop;
    const auto link = std::make_shared<WorkerLink>();
    link->loop = &loop;
    const QMetaObject::Connection abandon = connect(abandonTimer, &QTimer::timeout, &loop, &QEventLoop::quit);
    std::thread([job = std::move(job), work, link] {
        job(*work);
        link->finished();
    }).detach();
    loop.exec();
    link->forget();

    disconnect(abandon);
    abandonTimer->stop();
    qApp->removeEventFilter(this);
    progressTimer->stop();
    hideProgress();
    control.reset();
    return !work->cancelled();
}

void BackgroundWork::cancel()
{
    if (!control) {
        endStarted(Ending::Cancelled);
        return;
    }
    if (control->cancelled())
        return;
    control->cancel();
    abandonTimer->start();
}

void BackgroundWork::start(const QString &workTitle, std::function<void(WorkControl &)> job,
                           std::function<void(Ending)> ended)
{
    endStarted(Ending::Interrupted);
    const auto work = std::make_shared<WorkControl>();
    startedControl = work;
    startedEnded = std::move(ended);
    if (!control)
        showProgressSoon(workTitle);
    {
        const std::lock_guard<std::mutex> lock(startedLink->mutex);
        ++startedLink->running;
    }
    std::thread([job = std::move(job), work, link = startedLink] {
        job(*work);
        link->ended(work);
    }).detach();
}

void BackgroundWork::workerEnded(const std::shared_ptr<WorkControl> &work)
{
    // The end of a worker already cancelled or interrupted was told at once.
    if (work == startedControl)
        endStarted(Ending::Finished);
}

void BackgroundWork::endStarted(Ending ending)
{
    if (!startedControl)
        return;
    if (ending != Ending::Finished)
        startedControl->cancel();
    startedControl.reset();
    const std::function<void(Ending)> ended = std::move(startedEnded);
    startedEnded = nullptr;
    if (!control) {
        progressTimer->stop();
        hideProgress();
    }
    ended(ending);
}

void BackgroundWork::showProgressSoon(const QString &workTitle)
{
    title->setText(workTitle);
    progressBar->setValue(0);
    QTimer::singleShot(progressDelayMs, this, [this] {
        if (control || startedControl)
            showProgress();
    });
    progressTimer->start(50);
}

void BackgroundWork::showBusyCursor()
{
    if (!cursorShown)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    cursorShown = true;
}

void BackgroundWork::hideBusyCursor()
{
    if (held)
        return;
    if (cursorShown)
        QGuiApplication::restoreOverrideCursor();
    cursorShown = false;
}

void BackgroundWork::releaseBusyCursor()
{
    held = false;
    hideBusyCursor();
}

bool BackgroundWork::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Close && watched == window) {
        // Closing the window abandons the work; the window closes as usual.
        cancel();
        return false;
    }
    if (!isUserInput(event->type()))
        return false;
    // Input reaches the window system's window first and is then handed to
    // the widget under the mouse or with the focus; only there is it judged.
    if (watched->isWindowType() || watched == cancelButton)
        return false;
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
        cancel();
    return true;
}

void BackgroundWork::showProgress()
{
    title->show();
    progressBar->show();
    cancelButton->show();
}

void BackgroundWork::hideProgress()
{
    title->hide();
    progressBar->hide();
    cancelButton->hide();
}
