#pragma once

#include <QObject>

#include <functional>

class QElapsedTimer;
class QWidget;

// Notes when a widget was first painted showing what is awaited, on clock:
// once that paint has reached the display server, whichever event loop runs
// then (one of the window's own, nested in the load, included).
class PaintWatch : public QObject
{
public:
    PaintWatch(QWidget *widget, const QElapsedTimer &clock, std::function<bool()> showsAwaited);

    bool painted() const { return at >= 0; }
    // Below 0 until painted.
    double paintedMs() const { return at; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const QElapsedTimer &clock;
    std::function<bool()> showsAwaited;
    bool seen = false;
    double at = -1;
};
