#include "PatchItem.h"

#include <QBrush>
#include <QCoreApplication>
#include <QCursor>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsSimpleTextItem>
#include <QPainter>
#include <QPen>

#include <cmath>

namespace {

enum Edge { Left = 1, Top = 2, Right = 4, Bottom = 8, AllEdges = Left | Top | Right | Bottom };

// The eight handles: corners and edge middles, each with the edges it drags.
struct HandlePlace {
    int edges;
    double xFraction;
    double yFraction;
    Qt::CursorShape cursor;
};
constexpr HandlePlace handlePlaces[] = {
    {Left | Top, 0.0, 0.0, Qt::SizeFDiagCursor},   {Top, 0.5, 0.0, Qt::SizeVerCursor},
    {Right | Top, 1.0, 0.0, Qt::SizeBDiagCursor},  {Right, 1.0, 0.5, Qt::SizeHorCursor},
    {Right | Bottom, 1.0, 1.0, Qt::SizeFDiagCursor}, {Bottom, 0.5, 1.0, Qt::SizeVerCursor},
    {Left | Bottom, 0.0, 1.0, Qt::SizeBDiagCursor},  {Left, 0.0, 0.5, Qt::SizeHorCursor},
};

// Handles are squares of this many screen pixels.
constexpr double handleSize = 8.0;

int wholePixel(double coordinate)
{
    return int(std::lround(coordinate));
}

QString labelText(const Patch &patch)
{
    if (!patch.clipped)
        return patch.name;
    return QCoreApplication::translate("PatchItem", "%1 (clipped)").arg(patch.name);
}

QColor outlineColour(std::optional<bool> pass)
{
    if (!pass)
        return QColor(255, 230, 0);
    return *pass ? QColor(40, 220, 70) : QColor(255, 50, 50);
}

} // namespace

PatchItem::PatchItem(const Patch &patch) : current(patch), label(new QGraphicsSimpleTextItem(this))
{
    setFlag(ItemIsSelectable);
    setFiltersChildEvents(true);
    setCursor(Qt::SizeAllCursor);
    label->setFlag(ItemIgnoresTransformations);
    // White letters outlined in black read on light and dark pictures alike.
    label->setBrush(Qt::white);
    label->setPen(QPen(Qt::black, 0));
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    addHandles();
    placeLabelAndHandles();
}

void PatchItem::addHandles()
{
    for (const HandlePlace &place : handlePlaces) {
        auto *handle = new QGraphicsRectItem(-handleSize / 2, -handleSize / 2, handleSize, handleSize, this);
        handle->setFlag(ItemIgnoresTransformations);
        handle->setBrush(Qt::white);
        handle->setPen(QPen(Qt::black, 0));
        handle->setCursor(place.cursor);
        handle->setData(0, place.edges);
        handle->hide();
        handles << handle;
    }
}

void PatchItem::setVerdict(std::optional<bool> pass)
{
    if (pass == passed)
        return;
    passed = pass;
    label->setBrush(pass ? outlineColour(pass) : QColor(Qt::white));
    update();
}

void PatchItem::setPatch(const Patch &patch)
{
    prepareGeometryChange();
    current = patch;
    placeLabelAndHandles();
    update();
}

void PatchItem::placeLabelAndHandles()
{
    const QRectF area(current.rect);
    label->setText(labelText(current));
    label->setPos(area.topLeft());
    for (int i = 0; i < handles.size(); ++i)
        handles[i]->setPos(area.left() + handlePlaces[i].xFraction * area.width(),
                           area.top() + handlePlaces[i].yFraction * area.height());
}

QRectF PatchItem::boundingRect() const
{
    // The view repaints a margin of a few screen pixels around it, which the cosmetic outline stays in.
    return QRectF(current.rect);
}

QPainterPath PatchItem::shape() const
{
    QPainterPath path;
    if (current.shape == PatchShape::Ellipse)
        path.addEllipse(QRectF(current.rect));
    else
        path.addRect(QRectF(current.rect));
    return path;
}

void PatchItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    // A dark line under a light one shows on any picture; a clipped patch is dashed.
    QPen under(Qt::black, passed ? 4 : 3);
    under.setCosmetic(true);
    QPen over(isSelected() ? QColor(0, 200, 255) : outlineColour(passed), passed ? 2 : 1);
    over.setCosmetic(true);
    if (current.clipped)
        over.setStyle(Qt::DashLine);
    painter->setBrush(Qt::NoBrush);
    for (const QPen &pen : {under, over}) {
        painter->setPen(pen);
        painter->drawPath(shape());
    }
}

void PatchItem::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    QGraphicsObject::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        startDrag(event->scenePos(), AllEdges);
    event->accept();
}

void PatchItem::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    drag(event->scenePos());
}

void PatchItem::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    QGraphicsObject::mouseReleaseEvent(event);
    finishDrag();
}

void PatchItem::mouseDoubleClickEvent(QGraphicsSceneMouseEvent *event)
{
    event->accept();
    emit renameRequested();
}

bool PatchItem::sceneEventFilter(QGraphicsItem *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::GraphicsSceneMousePress:
    case QEvent::GraphicsSceneMouseMove:
    case QEvent::GraphicsSceneMouseRelease:
    case QEvent::GraphicsSceneMouseDoubleClick:
        return handleChildMouse(watched, static_cast<QGraphicsSceneMouseEvent *>(event));
    default:
        return false;
    }
}

bool PatchItem::handleChildMouse(QGraphicsItem *watched, QGraphicsSceneMouseEvent *mouse)
{
    switch (mouse->type()) {
    case QEvent::GraphicsSceneMousePress:
        if (scene() && !isSelected())
            scene()->clearSelection();
        setSelected(true);
        startDrag(mouse->scenePos(), watched == label ? int(AllEdges) : watched->data(0).toInt());
        mouse->accept();
        return true;
    case QEvent::GraphicsSceneMouseMove:
        drag(mouse->scenePos());
        return true;
    case QEvent::GraphicsSceneMouseRelease:
        finishDrag();
        return true;
    case QEvent::GraphicsSceneMouseDoubleClick:
        emit renameRequested();
        return true;
    default:
        return false;
    }
}

QVariant PatchItem::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == ItemSelectedHasChanged)
        for (QGraphicsRectItem *handle : handles)
            handle->setVisible(value.toBool());
    return QGraphicsObject::itemChange(change, value);
}

void PatchItem::startDrag(QPointF scenePoint, int edges)
{
    draggedEdges = edges;
    dragStart = scenePoint;
    rectAtDragStart = current.rect;
}

void PatchItem::drag(QPointF scenePoint)
{
    if (!draggedEdges)
        return;
    QRect rect = rectAtDragStart;
    if (draggedEdges == AllEdges) {
        const QPointF moved = scenePoint - dragStart;
        rect.translate(wholePixel(moved.x()), wholePixel(moved.y()));
    } else {
        // An edge dragged past the opposite one stops a pixel short of it.
        const int x = wholePixel(scenePoint.x());
        const int y = wholePixel(scenePoint.y());
        if (draggedEdges & Left)
            rect.setLeft(qMin(x, rect.right()));
        if (draggedEdges & Right)
            rect.setRight(qMax(x - 1, rect.left()));
        if (draggedEdges & Top)
            rect.setTop(qMin(y, rect.bottom()));
        if (draggedEdges & Bottom)
            rect.setBottom(qMax(y - 1, rect.top()));
    }
    if (rect == current.rect)
        return;
    Patch moved = current;
    moved.rect = rect;
    setPatch(moved);
}

void PatchItem::finishDrag()
{
    const bool changed = draggedEdges && current.rect != rectAtDragStart;
    draggedEdges = 0;
    if (changed)
        emit edited();
}
