#pragma once

#include <QImage>
#include <QObject>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QThreadPool>

#include <functional>
#include <memory>
#include <vector>

class PictureRendering;
class QGraphicsPixmapItem;
class QGraphicsScene;
class QGraphicsView;
class WorkControl;

// The picture in the view, rendered at the size it is shown. The scene is
// the image's rectangle, so scene coordinates are image pixel coordinates.
// One pixmap item shows the rendering of the visible area, placed on that
// area and scaled so that one rendered pixel is one device pixel under the
// view's zoom. Whenever the visible area or the zoom changes, the area is
// rendered again on a worker thread, each request cancelling the one before;
// until the new rendering arrives the previous one stays shown, scaled.
class PictureView : public QObject
{
public:
    explicit PictureView(QGraphicsView *view);
    ~PictureView() override;

    // Shows the picture of rendering; the picture shown before, drawn anew
    // (for another monitor or profile), stays in view until the new one arrives.
    void show(std::shared_ptr<const PictureRendering> rendering);
    // An empty view: the picture is no longer measured.
    void clear();
    bool showsPicture() const { return bool(rendering); }
    // Whether a rendering is under way or asked for.
    bool drawing() const { return control || renderPending; }
    const std::shared_ptr<const PictureRendering> &picture() const { return rendering; }

    // Calls replaced with each new scene, before the old one goes, and
    // whether it holds a picture: things drawn over the picture move along.
    void whenSceneReplaced(std::function<void(QGraphicsScene *scene, bool picture)> replaced)
    {
        sceneReplaced = std::move(replaced);
    }

    // Calls done once the next rendering is in view, or once the view is
    // cleared, after the calls that were waiting before it.
    void whenNextShown(std::function<void()> done);

    // The view's zoom or scroll position has changed: the visible area is rendered again.
    void viewChanged();

    // The device pixels an area of the picture (in image pixels) covers,
    // devicePixels to an image pixel: the size it is drawn at.
    static QSize deviceSize(QSizeF area, double devicePixels);

    // The rendering in view (Format_RGBA8888) and the image area it shows.
    const QImage &shownRendering() const { return shown; }
    QRectF shownArea() const { return shownSource; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Request {
        QRectF area;
        QSize size;
    };
    // The image area in view, widened to whole pixels, and the device pixels it covers.
    Request visibleRequest() const;
    void renderVisible();
    void showRendered(const QImage &rendered, const QImage &screen, const Request &request);
    void replaceScene(QGraphicsScene *scene);
    void cancelRendering();
    void callNextShown();

    QGraphicsView *view;
    QGraphicsPixmapItem *item = nullptr;
    std::shared_ptr<const PictureRendering> rendering;
    // The rendering under way; its cancel flag stops it when a newer one is asked for.
    std::shared_ptr<WorkControl> control;
    Request requested;
    quint64 generation = 0;
    bool renderPending = false;
    QImage shown;
    QRectF shownSource;
    std::vector<std::function<void()>> nextShown;
    std::function<void(QGraphicsScene *, bool)> sceneReplaced;
    // One worker: a new request waits for the cancelled one to stop.
    QThreadPool worker;
};
