#pragma once

#include "patch.h"

#include <QObject>
#include <QPointF>
#include <QRect>
#include <QVector>

#include <optional>

class PatchItem;
class QMouseEvent;
class QGraphicsScene;
class QGraphicsView;

// The patches drawn on the picture and the "Measure area" mode that draws
// them. It keeps the patches itself and puts an item of each on whatever
// scene the view shows, apart from the picture's own items. In the mode a
// drag on the picture draws a rectangle, with Shift an ellipse, snapped to
// whole image pixels; outside it, patches are selected, moved and resized
// with the mouse and a drag elsewhere pans the picture. Drawing a colour
// bar is drawing of one rectangle that becomes no patch: it is handed on.
class PatchOverlay : public QObject
{
    Q_OBJECT

public:
    explicit PatchOverlay(QGraphicsView *view);

    void setDrawing(bool on);
    // Draws one rectangle around a colour bar, then leaves the mode.
    void setDrawingBar(bool on);
    bool drawingBar() const { return barMode; }

    // Puts the patches on scene, the view's new one; call before the scene they were on goes.
    void showOn(QGraphicsScene *scene);

    const QVector<Patch> &patches() const { return shown; }
    void setPatches(const QVector<Patch> &patches);
    void setPatch(int index, const Patch &patch);
    void removePatch(int index);
    // The selected patch, -1 for none; selecting -1 clears the selection.
    int selected() const;
    void select(int index);
    // Each patch's pass or fail once checked, in the patches' order; nothing for unchecked ones.
    void setVerdicts(const QVector<std::optional<bool>> &verdicts);

signals:
    void drawingChanged(bool on);
    // A patch was drawn (it is the last one), moved or resized by the mouse.
    void added(int index);
    void edited(int index);
    void selectionChanged(int index);
    void renameRequested(int index);
    void barDrawn(const QRect &area);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool drawWithMouse(QEvent *event);
    bool drawWithMouse(QMouseEvent *mouse);
    void startDrawing(QPointF scenePoint);
    void followDrawing(QPointF scenePoint, bool ellipse);
    void finishDrawing();
    void setMode(bool drawing, bool bar);
    PatchItem *makeItem(const Patch &patch);
    void clearItems();
    QString nextName() const;
    int indexOf(QObject *item) const;

    QGraphicsView *view;
    QGraphicsScene *scene = nullptr;
    QVector<Patch> shown;
    QVector<PatchItem *> items;
    bool drawingMode = false;
    bool barMode = false;
    QVector<std::optional<bool>> verdicts;
    // The patch being drawn and the corner it started at.
    PatchItem *drawn = nullptr;
    QPointF drawStart;
};
