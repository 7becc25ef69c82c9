#include "PointerReadout.h"

#include <QEvent>
#include <QGraphicsView>
#include <QLabel>
#include <QMouseEvent>

#include <cmath>

PointerReadout::PointerReadout(QGraphicsView *view, QLabel *label,
                               std::function<std::optional<QString>(QPoint)> describe)
    : QObject(view), view(view), label(label), describe(std::move(describe))
{
    view->viewport()->setMouseTracking(true);
    view->viewport()->installEventFilter(this);
}

void PointerReadout::showZoom(double zoom)
{
    zoomText = tr("%1 %").arg(zoom * 100.0, 0, 'f', zoom < 0.1 ? 1 : 0);
    show();
}

void PointerReadout::clear()
{
    zoomText.clear();
    pixelText.clear();
    show();
}

bool PointerReadout::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::MouseMove)
        showPixelAt(static_cast<QMouseEvent *>(event)->pos());
    else if (event->type() == QEvent::Leave) {
        pixelText.clear();
        show();
    }
    return false;
}

void PointerReadout::showPixelAt(QPoint viewportPoint)
{
    // Scene coordinates are image coordinates; a pixel covers [x, x + 1).
    const QPointF scene = view->mapToScene(viewportPoint);
    const QPoint pixel(int(std::floor(scene.x())), int(std::floor(scene.y())));
    pixelText = view->scene() ? describe(pixel).value_or(QString()) : QString();
    show();
}

void PointerReadout::show()
{
    QStringList parts;
    for (const QString &part : {zoomText, pixelText})
        if (!part.isEmpty())
            parts << part;
    label->setText(parts.join("   "));
}
