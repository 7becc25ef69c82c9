#include "monitorprofilewatch.h"

#include "monitorprofile.h"

#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

MonitorProfileWatch::MonitorProfileWatch(QWidget *window, std::function<void()> changed)
    : QObject(window), window(window), changed(std::move(changed))
{
    published = watchPublishedProfiles([this] { tell(); });
    window->installEventFilter(this);
    watchScreen();
}

bool MonitorProfileWatch::eventFilter(QObject *, QEvent *event)
{
    // The native window, and so its screen, exists only once the window is shown.
    if (event->type() == QEvent::Show || event->type() == QEvent::WinIdChange)
        watchScreen();
    return false;
}

void MonitorProfileWatch::watchScreen()
{
    QWindow *handle = window->windowHandle();
    if (!handle || handle == watchedWindow)
        return;
    watchedWindow = handle;
    connect(handle, &QWindow::screenChanged, this, [this] { tell(); });
}

void MonitorProfileWatch::tell()
{
    if (pending)
        return;
    pending = true;
    QTimer::singleShot(0, this, [this] {
        pending = false;
        changed();
    });
}
