#pragma once

#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>
#include <optional>

class QGraphicsView;
class QLabel;

// Tells in the status bar the zoom and, while the pointer is over the
// picture, the image pixel under it, described by the window.
class PointerReadout : public QObject
{
public:
    // describe gives the text for an image pixel, nothing outside the picture.
    PointerReadout(QGraphicsView *view, QLabel *label, std::function<std::optional<QString>(QPoint)> describe);

    void showZoom(double zoom);
    // Forgets the pixel and the zoom, as for an empty view.
    void clear();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showPixelAt(QPoint viewportPoint);
    void show();

    QGraphicsView *view;
    QLabel *label;
    std::function<std::optional<QString>(QPoint)> describe;
    QString zoomText;
    QString pixelText;
};
