#include "PatchOverlay.h"

#include "PatchItem.h"

#include <QCoreApplication>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QMouseEvent>

#include <cmath>

namespace {

// Patches lie over the picture, whatever depth its items take.
constexpr double patchDepth = 1000.0;

// The rectangle between two scene points, its edges on whole pixels.
QRect snappedRect(QPointF from, QPointF to)
{
    const int left = int(std::lround(qMin(from.x(), to.x())));
    const int right = int(std::lround(qMax(from.x(), to.x())));
    const int top = int(std::lround(qMin(from.y(), to.y())));
    const int bottom = int(std::lround(qMax(from.y(), to.y())));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

} // namespace

PatchOverlay::PatchOverlay(QGraphicsView *view) : QObject(view), view(view)
{
    view->viewport()->installEventFilter(this);
}

void PatchOverlay::setDrawing(bool on)
{
    setMode(on, false);
}

void PatchOverlay::setDrawingBar(bool on)
{
    setMode(on, on);
}

void PatchOverlay::setMode(bool on, bool bar)
{
    if (on == drawingMode && bar == barMode)
        return;
    if (drawn && barMode) {
        // A bar left half drawn draws nothing; a patch is kept as drawn so far.
        delete drawn;
        drawn = nullptr;
    } else if (drawn) {
        finishDrawing();
    }
    drawingMode = on;
    barMode = bar;
    // While drawing, a drag draws; otherwise it pans as it always did.
    view->setDragMode(on ? QGraphicsView::NoDrag : QGraphicsView::ScrollHandDrag);
    if (on)
        view->viewport()->setCursor(Qt::CrossCursor);
    emit drawingChanged(on);
}

void PatchOverlay::showOn(QGraphicsScene *newScene)
{
    // The picture drawn again keeps the patch selected on it.
    const int kept = selected();
    clearItems();
    scene = newScene;
    if (!scene)
        return;
    for (const Patch &patch : shown)
        items << makeItem(patch);
    select(kept);
    setVerdicts(verdicts);
    connect(scene, &QGraphicsScene::selectionChanged, this, [this] { emit selectionChanged(selected()); });
}

void PatchOverlay::clearItems()
{
    if (drawn) {
        delete drawn;
        drawn = nullptr;
    }
    if (scene)
        disconnect(scene, nullptr, this, nullptr);
    qDeleteAll(items);
    items.clear();
}

PatchItem *PatchOverlay::makeItem(const Patch &patch)
{
    auto *item = new PatchItem(patch);
    item->setZValue(patchDepth);
    scene->addItem(item);
    connect(item, &PatchItem::edited, this, [this, item] {
        const int index = indexOf(item);
        // Placed anew by hand, it is marked only while it reaches beyond the picture.
        shown[index] = item->patch();
        shown[index].clipped = !scene->sceneRect().contains(QRectF(shown[index].rect));
        item->setPatch(shown[index]);
        emit edited(index);
    });
    connect(item, &PatchItem::renameRequested, this, [this, item] { emit renameRequested(indexOf(item)); });
    return item;
}

int PatchOverlay::indexOf(QObject *item) const
{
    return items.indexOf(static_cast<PatchItem *>(item));
}

void PatchOverlay::setVerdicts(const QVector<std::optional<bool>> &newVerdicts)
{
    verdicts = newVerdicts;
    for (int i = 0; i < items.size(); ++i)
        items[i]->setVerdict(verdicts.value(i));
}

void PatchOverlay::setPatches(const QVector<Patch> &patches)
{
    QGraphicsScene *keptScene = scene;
    shown = patches;
    verdicts.clear();
    showOn(keptScene);
}

void PatchOverlay::setPatch(int index, const Patch &patch)
{
    shown[index] = patch;
    if (index < items.size())
        items[index]->setPatch(patch);
}

void PatchOverlay::removePatch(int index)
{
    shown.remove(index);
    if (index < verdicts.size())
        verdicts.remove(index);
    if (index < items.size())
        delete items.takeAt(index);
}

int PatchOverlay::selected() const
{
    for (int i = 0; i < items.size(); ++i)
        if (items[i]->isSelected())
            return i;
    return -1;
}

void PatchOverlay::select(int index)
{
    if (!scene || index == selected())
        return;
    const QSignalBlocker quiet(scene);
    scene->clearSelection();
    if (index >= 0 && index < items.size())
        items[index]->setSelected(true);
}

QString PatchOverlay::nextName() const
{
    int number = 1;
    for (const Patch &patch : shown) {
        const QStringList words = patch.name.split(' ');
        if (words.size() == 2)
            number = qMax(number, words[1].toInt() + 1);
    }
    return QCoreApplication::translate("PatchOverlay", "Patch %1").arg(number);
}

bool PatchOverlay::eventFilter(QObject *, QEvent *event)
{
    return drawingMode && scene && drawWithMouse(event);
}

bool PatchOverlay::drawWithMouse(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        return drawWithMouse(static_cast<QMouseEvent *>(event));
    case QEvent::MouseButtonDblClick:
        return true;
    default:
        return false;
    }
}

bool PatchOverlay::drawWithMouse(QMouseEvent *mouse)
{
    switch (mouse->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() != Qt::LeftButton)
            return false;
        startDrawing(view->mapToScene(mouse->pos()));
        return true;
    case QEvent::MouseMove:
        if (!drawn)
            return false;
        followDrawing(view->mapToScene(mouse->pos()), mouse->modifiers() & Qt::ShiftModifier);
        return true;
    case QEvent::MouseButtonRelease:
        if (!drawn || mouse->button() != Qt::LeftButton)
            return false;
        followDrawing(view->mapToScene(mouse->pos()), mouse->modifiers() & Qt::ShiftModifier);
        finishDrawing();
        return true;
    default:
        return false;
    }
}

void PatchOverlay::startDrawing(QPointF scenePoint)
{
    drawStart = scenePoint;
    Patch patch;
    patch.name = barMode ? QCoreApplication::translate("PatchOverlay", "Colour bar") : nextName();
    patch.rect = snappedRect(scenePoint, scenePoint);
    drawn = new PatchItem(patch);
    drawn->setZValue(patchDepth);
    scene->addItem(drawn);
}

void PatchOverlay::followDrawing(QPointF scenePoint, bool ellipse)
{
    Patch patch = drawn->patch();
    // A patch is drawn on the picture only.
    patch.rect = snappedRect(drawStart, scenePoint) & scene->sceneRect().toAlignedRect();
    patch.shape = ellipse ? PatchShape::Ellipse : PatchShape::Rect;
    drawn->setPatch(patch);
}

void PatchOverlay::finishDrawing()
{
    const Patch patch = drawn->patch();
    delete drawn;
    drawn = nullptr;
    // A click without a drag draws nothing.
    if (patch.rect.isEmpty())
        return;
    if (barMode) {
        setMode(false, false);
        emit barDrawn(patch.rect);
        return;
    }
    shown << patch;
    items << makeItem(patch);
    emit added(shown.size() - 1);
    select(shown.size() - 1);
    emit selectionChanged(shown.size() - 1);
}
