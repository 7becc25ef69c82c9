#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QSizeF>

#include <functional>

class QGraphicsView;
class QSlider;
class QWidget;

// Zoom and pan of the picture. The view starts fitted: the whole picture in
// view, fitted again whenever the viewport changes size, until the user
// zooms; fitting again returns to that. The wheel zooms around the pointer,
// + and - zoom in steps, Ctrl+0 fits and Ctrl+1 shows 100 %; the slider
// follows and can be dragged; dragging the picture or the scroll bars pans.
// Scene coordinates are image pixel coordinates, so a zoom is a plain scale.
class PictureZoom : public QObject
{
public:
    // changed is called with the zoom (1 = 100 %) whenever it changes.
    PictureZoom(QGraphicsView *view, QSlider *slider, QWidget *window, std::function<void(double)> changed);

    void fit();
    // The zoom at which a picture of that size fits a viewport of that size
    // with a margin, as fit() sets it; 0 when nothing fits.
    static double fittedZoom(QSize viewport, QSizeF picture);
    void showActualSize();
    // Multiplies the zoom, keeping the scene point at viewportPoint where it is.
    void zoomBy(double factor, QPoint viewportPoint);
    void zoomBy(double factor);
    double zoom() const;
    bool fitted() const { return fitting; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setZoom(double zoom, QPoint viewportPoint);
    void showScrollBars(bool shown);
    // The zoom at which the whole picture fills the viewport.
    double fitZoom() const;
    void followOnSlider();
    void sliderMoved(int position);
    void addShortcut(const QKeySequence &keys, std::function<void()> action);

    QGraphicsView *view;
    QSlider *slider;
    QWidget *window;
    std::function<void(double)> changed;
    bool fitting = true;
    bool fitPending = false;
};
