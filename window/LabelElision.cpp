#include "LabelElision.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QStyle>

void LabelElision::apply(QLabel *label)
{
    // An ignored width hint leaves the label's width to its neighbours, so a
    // long profile name can never squeeze the caption beside it.
    label->setSizePolicy(QSizePolicy::Ignored, label->sizePolicy().verticalPolicy());
    label->installEventFilter(new LabelElision(label));
}

LabelElision::LabelElision(QLabel *label) : QObject(label) {}

bool LabelElision::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Paint)
        return false;
    auto *label = static_cast<QLabel *>(watched);
    const QRect area = label->contentsRect();
    const QString text = label->text();
    const QString shown = label->fontMetrics().elidedText(text, Qt::ElideMiddle, area.width());
    label->setToolTip(shown == text ? QString() : text);
    QPainter painter(label);
    label->style()->drawItemText(&painter, area, int(QStyle::visualAlignment(label->layoutDirection(), label->alignment())),
                                 label->palette(), label->isEnabled(), shown, label->foregroundRole());
    return true;
}
