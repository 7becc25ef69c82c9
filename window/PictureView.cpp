#include "PictureView.h"

#include "PictureRendering.h"
#include "displaybytes.h"
#include "workcontrol.h"

#include <QEvent>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPixmap>
#include <QScrollBar>
#include <QTimer>

#include <cmath>

PictureView::PictureView(QGraphicsView *view) : QObject(view), view(view)
{
    worker.setMaxThreadCount(1);
    view->viewport()->installEventFilter(this);
    for (QScrollBar *bar : {view->horizontalScrollBar(), view->verticalScrollBar()}) {
        connect(bar, &QScrollBar::valueChanged, this, &PictureView::viewChanged);
        connect(bar, &QScrollBar::rangeChanged, this, &PictureView::viewChanged);
    }
}

PictureView::~PictureView()
{
    // A worker still rendering reads the rendering it shares, and posts to this view: it must end first.
    cancelRendering();
    worker.waitForDone();
}

void PictureView::show(std::shared_ptr<const PictureRendering> newRendering)
{
    const QRectF picture(QPointF(0, 0), QSizeF(newRendering->size()));
    const bool samePicture = item && rendering && rendering->samePicture(*newRendering);
    rendering = std::move(newRendering);
    // Renderings of what was shown before must not land on this one.
    cancelRendering();
    ++generation;
    requested = Request();
    if (!samePicture) {
        auto *scene = new QGraphicsScene(this);
        scene->setSceneRect(picture);
        item = new QGraphicsPixmapItem;
        scene->addItem(item);
        replaceScene(scene);
        shown = QImage();
        shownSource = QRectF();
    }
    viewChanged();
}

void PictureView::clear()
{
    cancelRendering();
    ++generation;
    rendering.reset();
    item = nullptr;
    shown = QImage();
    shownSource = QRectF();
    replaceScene(new QGraphicsScene(this));
    callNextShown();
}

void PictureView::replaceScene(QGraphicsScene *scene)
{
    QGraphicsScene *previous = view->scene();
    view->setScene(scene);
    if (sceneReplaced)
        sceneReplaced(scene, bool(rendering));
    delete previous;
}

void PictureView::viewChanged()
{
    // Zoom, scroll bars and resize often change together; one rendering follows them all.
    if (!rendering || renderPending)
        return;
    renderPending = true;
    QTimer::singleShot(0, this, [this] {
        renderPending = false;
        renderVisible();
    });
}

bool PictureView::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Resize)
        viewChanged();
    return false;
}

PictureView::Request PictureView::visibleRequest() const
{
    const QRectF visible = view->mapToScene(view->viewport()->rect()).boundingRect() & view->sceneRect();
    Request request;
    if (visible.isEmpty())
        return request;
    // Whole pixels, so that at 100 % and above the rendered pixels lie on the image's.
    request.area = QRectF(QPointF(std::floor(visible.left()), std::floor(visible.top())),
                          QPointF(std::ceil(visible.right()), std::ceil(visible.bottom()))) &
                   view->sceneRect();
    request.size = deviceSize(request.area.size(), view->transform().m11() * view->viewport()->devicePixelRatioF());
    return request;
}

QSize PictureView::deviceSize(QSizeF area, double devicePixels)
{
    return QSize(std::max(1, int(std::lround(area.width() * devicePixels))),
                 std::max(1, int(std::lround(area.height() * devicePixels))));
}

void PictureView::renderVisible()
{
    const Request request = visibleRequest();
    // Nothing to draw in an empty view: whoever waits for the picture waits no longer.
    if (!rendering || request.area.isEmpty()) {
        callNextShown();
        return;
    }
    if (request.area == requested.area && request.size == requested.size) {
        // Already in view: whoever waits for the picture waits no longer.
        if (!control)
            callNextShown();
        return;
    }
    cancelRendering();
    requested = request;
    control = std::make_shared<WorkControl>();
    const quint64 number = ++generation;
    worker.start([this, number, request, source = rendering, work = control] {
        const QImage rendered = source->render(request.area, request.size, work.get());
        if (rendered.isNull()) {
            // A rendering that failed, not one cancelled for a newer one, ends the wait too.
            if (!work->cancelled())
                QMetaObject::invokeMethod(this, [this] { callNextShown(); }, Qt::QueuedConnection);
            return;
        }
        const QImage screen = screenImage(rendered);
        QMetaObject::invokeMethod(
            this,
            [this, number, rendered, screen, request] {
                if (number != generation)
                    return;
                control.reset();
                showRendered(rendered, screen, request);
            },
            Qt::QueuedConnection);
    });
}

void PictureView::cancelRendering()
{
    if (control)
        control->cancel();
    control.reset();
}

void PictureView::showRendered(const QImage &rendered, const QImage &screen, const Request &request)
{
    if (!item)
        return;
    // Already in the screen's format: the pixmap takes the pixels as they are.
    item->setPixmap(QPixmap::fromImage(screen, Qt::NoFormatConversion));
    item->setPos(request.area.topLeft());
    item->setTransform(QTransform::fromScale(request.area.width() / request.size.width(),
                                             request.area.height() / request.size.height()));
    shown = rendered;
    shownSource = request.area;
    callNextShown();
}

void PictureView::whenNextShown(std::function<void()> done)
{
    nextShown.push_back(std::move(done));
    // No rendering under way or asked for: nothing will arrive.
    if (!drawing())
        callNextShown();
}

void PictureView::callNextShown()
{
    const std::vector<std::function<void()>> waiting = std::move(nextShown);
    nextShown.clear();
    for (const std::function<void()> &done : waiting)
        done();
}
