#pragma once

#include "patch.h"

#include <QGraphicsObject>
#include <QRect>
#include <QVector>

#include <optional>

class QGraphicsRectItem;
class QGraphicsSimpleTextItem;

// One patch on the picture: its outline, its name and, while selected, the
// handles that resize it. Scene coordinates are image pixels; every move and
// resize snaps the edges to whole pixels. The outline and the name keep their
// size on screen at every zoom.
class PatchItem : public QGraphicsObject
{
    Q_OBJECT

public:
    explicit PatchItem(const Patch &patch);

    const Patch &patch() const { return current; }
    void setPatch(const Patch &patch);
    // Once checked against a reference: outline and name in green for a pass, red for a fail.
    void setVerdict(std::optional<bool> pass);
    std::optional<bool> verdict() const { return passed; }

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

signals:
    // The user moved or resized the patch; sent once, when the mouse is released.
    void edited();
    // The user double-clicked the patch or its name.
    void renameRequested();

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent *event) override;
    bool sceneEventFilter(QGraphicsItem *watched, QEvent *event) override;
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

private:
    // A press on the name moves the patch, one on a handle drags its edges.
    bool handleChildMouse(QGraphicsItem *watched, QGraphicsSceneMouseEvent *mouse);
    void addHandles();
    void placeLabelAndHandles();
    void startDrag(QPointF scenePoint, int edges);
    void drag(QPointF scenePoint);
    void finishDrag();

    Patch current;
    std::optional<bool> passed;
    QGraphicsSimpleTextItem *label;
    QVector<QGraphicsRectItem *> handles;
    // The edges a drag moves (all four: the whole patch), and where it started.
    int draggedEdges = 0;
    QPointF dragStart;
    QRect rectAtDragStart;
};
