#include "paintwatch.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

#include <utility>

PaintWatch::PaintWatch(QWidget *widget, const QElapsedTimer &clock, std::function<bool()> showsAwaited)
    : clock(clock), showsAwaited(std::move(showsAwaited))
{
    widget->installEventFilter(this);
}

bool PaintWatch::eventFilter(QObject *, QEvent *event)
{
    if (event->type() != QEvent::Paint || seen || !showsAwaited())
        return false;
    seen = true;
    // The window is flushed once all its widgets are painted; the round trip
    // makes sure the server has taken the pixels.
    QTimer::singleShot(0, this, [this] {
        QGuiApplication::sync();
        at = clock.nsecsElapsed() / 1e6;
    });
    return false;
}
