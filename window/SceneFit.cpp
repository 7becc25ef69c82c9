#include "SceneFit.h"

#include <QEvent>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QTimer>

SceneFit::SceneFit(QGraphicsView *view) : QObject(view), view(view)
{
    view->viewport()->installEventFilter(this);
}

void SceneFit::fit()
{
    if (QGraphicsScene *scene = view->scene())
        view->fitInView(scene->sceneRect(), Qt::KeepAspectRatio);
}

bool SceneFit::eventFilter(QObject *, QEvent *event)
{
    // The view handles the resize itself after this filter; the fit follows
    // once the layout has settled, and several resizes in a row fit once.
    if (event->type() == QEvent::Resize && !fitPending) {
        fitPending = true;
        QTimer::singleShot(0, this, [this] {
            fitPending = false;
            fit();
        });
    }
    return false;
}
