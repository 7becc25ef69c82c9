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

#include <thread>

namespace {

// Short work finishes unnoticed; longer work shows its progress after this.
constexpr int progressDelayMs = 250;

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
{
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

bool BackgroundWork::run(const QString &workTitle, const std::function<void(WorkControl &)> &job)
{
    WorkControl work;
    control = &work;
    title->setText(workTitle);
    progressBar->setValue(0);
    QTimer::singleShot(progressDelayMs, this, [this] {
        if (control)
            showProgress();
    });
    progressTimer->start(50);
    qApp->installEventFilter(this);

    QEventLoop loop;
    std::thread worker([&] {
        job(work);
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();

    qApp->removeEventFilter(this);
    progressTimer->stop();
    hideProgress();
    control = nullptr;
    return !work.cancelled();
}

void BackgroundWork::cancel()
{
    if (control)
        control->cancel();
}

void BackgroundWork::showBusyCursor()
{
    if (!cursorShown)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    cursorShown = true;
}

void BackgroundWork::hideBusyCursor()
{
    if (cursorShown)
        QGuiApplication::restoreOverrideCursor();
    cursorShown = false;
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
    if (watched == cancelButton)
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
