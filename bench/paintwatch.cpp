#include "paintwatch.h"

#include <QEvent>
#include <QWidget>

#include <utility>

PaintWatch::PaintWatch(QWidget *widget, std::function<bool()> showsAwaited)
    : showsAwaited(std::move(showsAwaited))
{
    widget->installEventFilter(this);
}

bool PaintWatch::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Paint && !seen)
        seen = showsAwaited();
    return false;
}
