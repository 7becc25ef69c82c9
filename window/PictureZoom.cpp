#include "PictureZoom.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QScrollBar>
#include <QShortcut>
#include <QSlider>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// The zooms the slider spans, evenly on a logarithmic scale.
constexpr double smallestZoom = 1.0 / 64.0;
constexpr double largestZoom = 32.0;
// One step of a key or a wheel notch.
constexpr double zoomStep = 1.25;

double sliderZoom(int position, int maximum)
{
    return smallestZoom * std::pow(largestZoom / smallestZoom, double(position) / maximum);
}

int sliderPosition(double zoom, int maximum)
{
    const double fraction = std::log(zoom / smallestZoom) / std::log(largestZoom / smallestZoom);
    return int(std::lround(std::clamp(fraction, 0.0, 1.0) * maximum));
}

} // namespace

PictureZoom::PictureZoom(QGraphicsView *view, QSlider *slider, QWidget *window, std::function<void(double)> changed)
    : QObject(view), view(view), slider(slider), window(window), changed(std::move(changed))
{
    view->setTransformationAnchor(QGraphicsView::NoAnchor);
    view->setResizeAnchor(QGraphicsView::NoAnchor);
    view->setDragMode(QGraphicsView::ScrollHandDrag);
    view->viewport()->installEventFilter(this);
    connect(slider, &QSlider::valueChanged, this, &PictureZoom::sliderMoved);
    addShortcut(QKeySequence(Qt::Key_Plus), [this] { zoomBy(zoomStep); });
    addShortcut(QKeySequence(Qt::Key_Equal), [this] { zoomBy(zoomStep); });
    addShortcut(QKeySequence(Qt::Key_Minus), [this] { zoomBy(1.0 / zoomStep); });
    addShortcut(QKeySequence::ZoomIn, [this] { zoomBy(zoomStep); });
    addShortcut(QKeySequence::ZoomOut, [this] { zoomBy(1.0 / zoomStep); });
    addShortcut(QKeySequence(Qt::CTRL + Qt::Key_0), [this] { fit(); });
    addShortcut(QKeySequence(Qt::CTRL + Qt::Key_1), [this] { showActualSize(); });
}

void PictureZoom::addShortcut(const QKeySequence &keys, std::function<void()> action)
{
    auto *shortcut = new QShortcut(keys, window);
    connect(shortcut, &QShortcut::activated, this, [this, action] {
        if (view->scene())
            action();
    });
}

void PictureZoom::showScrollBars(bool shown)
{
    const Qt::ScrollBarPolicy policy = shown ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    view->setHorizontalScrollBarPolicy(policy);
    view->setVerticalScrollBarPolicy(policy);
}

void PictureZoom::fit()
{
    // A fitted picture needs no scroll bars; one left over would shrink the fit.
    fitting = true;
    showScrollBars(false);
    if (QGraphicsScene *scene = view->scene()) {
        const QRectF picture = scene->sceneRect();
        const double zoom = fittedZoom(view->viewport()->size(), picture.size());
        if (zoom > 0.0) {
            view->setTransform(QTransform::fromScale(zoom, zoom));
            view->centerOn(picture.center());
        }
    }
    followOnSlider();
}

double PictureZoom::fittedZoom(QSize viewport, QSizeF picture)
{
    // fitInView's margin of two pixels a side, without its rounding on the way.
    constexpr int margin = 2;
    const double width = viewport.width() - 2 * margin;
    const double height = viewport.height() - 2 * margin;
    if (width <= 0.0 || height <= 0.0 || picture.isEmpty())
        return 0.0;
    return std::min(width / picture.width(), height / picture.height());
}

void PictureZoom::showActualSize()
{
    setZoom(1.0, view->viewport()->rect().center());
}

void PictureZoom::zoomBy(double factor, QPoint viewportPoint)
{
    setZoom(zoom() * factor, viewportPoint);
}

void PictureZoom::zoomBy(double factor)
{
    zoomBy(factor, view->viewport()->rect().center());
}

double PictureZoom::fitZoom() const
{
    const QRectF scene = view->sceneRect();
    const QRect viewport = view->viewport()->rect();
    if (scene.isEmpty() || viewport.isEmpty())
        return 1.0;
    return std::min(viewport.width() / scene.width(), viewport.height() / scene.height());
}

double PictureZoom::zoom() const
{
    return view->transform().m11();
}

void PictureZoom::setZoom(double newZoom, QPoint viewportPoint)
{
    fitting = false;
    showScrollBars(true);
    const QPointF held = view->mapToScene(viewportPoint);
    // A tiny picture fits beyond the largest zoom, a huge one below the
    // smallest; zooming never leaves the range that includes the fit.
    const double fitted = fitZoom();
    const double clamped = std::clamp(newZoom, std::min(smallestZoom, fitted), std::max(largestZoom, fitted));
    view->setTransform(QTransform::fromScale(clamped, clamped));
    // Scroll bars that come or go resize the viewport; that must be done first.
    QCoreApplication::sendPostedEvents(view, QEvent::LayoutRequest);
    // Where the held scene point went; the scroll bars bring it back.
    const QPoint moved = view->mapFromScene(held) - viewportPoint;
    view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->value() + moved.x());
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->value() + moved.y());
    followOnSlider();
}

void PictureZoom::followOnSlider()
{
    const QSignalBlocker quiet(slider);
    slider->setValue(sliderPosition(zoom(), slider->maximum()));
    changed(zoom());
}

void PictureZoom::sliderMoved(int position)
{
    if (view->scene())
        setZoom(sliderZoom(position, slider->maximum()), view->viewport()->rect().center());
}

bool PictureZoom::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Wheel && view->scene()) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        // A notch is 120; touch pads send parts of one.
        const double notches = wheel->angleDelta().y() / 120.0;
        if (notches != 0.0)
            zoomBy(std::pow(zoomStep, notches), wheel->position().toPoint());
        return true;
    }
    // The view handles the resize itself after this filter; the fit follows
    // once the layout has settled, and several resizes in a row fit once.
    if (event->type() == QEvent::Resize && fitting && !fitPending) {
        fitPending = true;
        QTimer::singleShot(0, this, [this] {
            fitPending = false;
            if (fitting)
                fit();
        });
    }
    return false;
}
