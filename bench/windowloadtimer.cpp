#include "windowloadtimer.h"
#include "paintwatch.h"

#include "CVCImageWindow.h"

#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QTimer>
#include <QWindow>

namespace {

// The longest wait for a paint before the round counts as never painted.
constexpr qint64 patienceMs = 120000;

// Processes events until done() or clock reaches untilMs; a timer keeps the
// loop awake when nothing else arrives.
template <typename Done>
void processUntil(const QElapsedTimer &clock, qint64 untilMs, Done done)
{
    QTimer wake;
    wake.start(20);
    while (!done() && clock.elapsed() < untilMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// The picture fills the viewport one way and fits in it the other: fitInView
// leaves two pixels a side, rounding one more. The picture is drawn on a
// worker once the view knows its size; until then its item is empty.
bool fittedPicture(const QGraphicsView *view, QSize imageSize)
{
    const QGraphicsScene *scene = view->scene();
    if (!scene || scene->sceneRect().size().toSize() != imageSize || scene->itemsBoundingRect().isEmpty())
        return false;
    const QRect shown = view->mapFromScene(scene->sceneRect()).boundingRect();
    const QRect port = view->viewport()->rect();
    const int slack = 6;
    return port.adjusted(-1, -1, 1, 1).contains(shown) &&
           (shown.width() >= port.width() - slack || shown.height() >= port.height() - slack);
}

// The time a user leaves a new window idle at least, choosing a file in the Open dialog.
constexpr qint64 choosingMs = 1000;

// A shown window, exposed, its layout settled and its first paint on the
// server, then left idle while the user chooses the file.
void showSettled(CVCImageWindow &window)
{
    window.show();
    QElapsedTimer clock;
    clock.start();
    processUntil(clock, patienceMs, [&] { return window.windowHandle()->isExposed(); });
    const qint64 exposedAt = clock.elapsed();
    processUntil(clock, exposedAt + choosingMs, [] { return false; });
    QGuiApplication::sync();
}

} // namespace

WindowLoadTimer::WindowLoadTimer(const QString &path) : path(path) {}

void WindowLoadTimer::run()
{
    CVCImageWindow window;
    showSettled(window);
    auto *panel = window.findChild<QWidget *>("labF");
    auto *lightness = window.findChild<QLabel *>("lL");
    auto *view = window.findChild<QGraphicsView *>("graphicsView");
    const QSize imageSize = QImageReader(path).size();
    QElapsedTimer clock;
    PaintWatch valuesPaint(lightness, clock, [=] { return panel->isVisible() && !lightness->text().isEmpty(); });
    PaintWatch picturePaint(view->viewport(), clock, [=] { return fittedPicture(view, imageSize); });

    clock.start();
    window.openImageFile(path);
    returned = clock.nsecsElapsed() / 1e6;
    processUntil(clock, patienceMs, [&] { return valuesPaint.painted() && picturePaint.painted(); });
    values = valuesPaint.paintedMs();
    picture = picturePaint.paintedMs();
    results = window.resultsLine();
}
