#pragma once

#include <QObject>

class QGraphicsView;

// Keeps the whole picture in view: whenever the view's viewport changes size,
// for whatever reason (the window, the panel beside it, a scroll bar), the
// view is fitted to its scene again, keeping the aspect ratio.
class SceneFit : public QObject
{
public:
    explicit SceneFit(QGraphicsView *view);

    // Fits the view to its scene now; nothing without a scene.
    void fit();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QGraphicsView *view;
    bool fitPending = false;
};
