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
{
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
        if (control)
            progressBar->setValue(control->progress());
    });
}

bool BackgroundWork::run(const QString &workTitle, std::function<void(WorkControl &)> job)
{
    const auto work = std::make_shared<WorkControl>();
    control = work;
    title->setText(workTitle);
    progressBar->setValue(0);
    QTimer::singleShot(progressDelayMs, this, [this] {
        if (control)
            showProgress();
    });
    progressTimer->start(50);
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
    if (!control || control->cancelled())
        return;
    control->cancel();
    abandonTimer->start();
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
