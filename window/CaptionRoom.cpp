#include "CaptionRoom.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QLabel>

#include <algorithm>
#include <cmath>

void CaptionRoom::apply(QLabel *caption, QLabel *value)
{
    auto *room = new CaptionRoom(caption, value);
    value->installEventFilter(room);
    room->share();
}

CaptionRoom::CaptionRoom(QLabel *caption, QLabel *value)
    : QObject(value), caption(caption), value(value), formWidth(caption->minimumWidth())
{
}

bool CaptionRoom::eventFilter(QObject *, QEvent *event)
{
    // A new text asks for a new layout; a new layout resizes the value.
    if (event->type() == QEvent::Resize || event->type() == QEvent::Paint)
        share();
    return false;
}

void CaptionRoom::share()
{
    const int own = caption->fontMetrics().horizontalAdvance(caption->text() + ' ');
    const int row = caption->width() + value->width();
    // Elision measures in fractions of a pixel; a whole pixel more keeps it away.
    const int need = int(std::ceil(QFontMetricsF(value->font()).horizontalAdvance(value->text()))) + 1;
    const int width = std::clamp(row - need, own, std::max(own, formWidth));
    // A fixed width: a label's own size hint would hold on to an older minimum.
    if (caption->width() != width || caption->minimumWidth() != width)
        caption->setFixedWidth(width);
}
