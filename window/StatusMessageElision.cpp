#include "StatusMessageElision.h"

#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSizeGrip>
#include <QStatusBar>
#include <QStyleOption>
#include <QToolTip>

#include <algorithm>

namespace {

QList<QWidget *> shownWidgets(const QStatusBar *bar)
{
    QList<QWidget *> shown;
    for (QWidget *child : bar->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        if (child->isVisible())
            shown << child;
    return shown;
}

} // namespace

void StatusMessageElision::apply(QStatusBar *bar)
{
    bar->installEventFilter(new StatusMessageElision(bar));
}

StatusMessageElision::StatusMessageElision(QStatusBar *bar) : QObject(bar) {}

// Qt's own room for the message: from a small margin to the first permanent
// widget or the size grip; while a message shows, the other widgets are hidden.
QRect StatusMessageElision::messageRoom(const QStatusBar *bar)
{
    int right = bar->width() - 12;
    for (const QWidget *widget : shownWidgets(bar))
        right = std::min(right, widget->x() - 2);
    const int left = 6;
    return QRect(left, 0, std::max(0, right - left), bar->height());
}

QString StatusMessageElision::shownMessage(const QStatusBar *bar)
{
    return bar->fontMetrics().elidedText(bar->currentMessage(), Qt::ElideRight, messageRoom(bar).width());
}

// As QStatusBar paints itself, with the message elided.
void StatusMessageElision::paint(QStatusBar *bar, const QRect &exposed)
{
    QPainter painter(bar);
    QStyleOption panel;
    panel.initFrom(bar);
    bar->style()->drawPrimitive(QStyle::PE_PanelStatusBar, &panel, &painter, bar);
    for (QWidget *widget : shownWidgets(bar)) {
        const QRect frame = widget->geometry().adjusted(-2, -1, 2, 1);
        if (qobject_cast<QSizeGrip *>(widget) || !exposed.intersects(frame))
            continue;
        QStyleOption item;
        item.rect = frame;
        item.palette = bar->palette();
        bar->style()->drawPrimitive(QStyle::PE_FrameStatusBarItem, &item, &painter, widget);
    }
    if (bar->currentMessage().isEmpty())
        return;
    painter.setPen(bar->palette().windowText().color());
    painter.drawText(messageRoom(bar), Qt::AlignLeading | Qt::AlignVCenter | Qt::TextSingleLine, shownMessage(bar));
}

bool StatusMessageElision::eventFilter(QObject *watched, QEvent *event)
{
    // Events also come while the bar is being destroyed, when it is no status bar any more.
    auto *bar = qobject_cast<QStatusBar *>(watched);
    if (!bar)
        return false;
    if (event->type() == QEvent::Paint) {
        paint(bar, static_cast<QPaintEvent *>(event)->rect());
        return true;
    }
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        if (messageRoom(bar).contains(help->pos()) && shownMessage(bar) != bar->currentMessage()) {
            QToolTip::showText(help->globalPos(), bar->currentMessage(), bar);
            return true;
        }
    }
    return false;
}
