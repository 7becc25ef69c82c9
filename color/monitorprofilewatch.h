#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QWidget;
class QWindow;

// Tells when the profile of the monitor that shows a window may have
// changed: the window moved to another screen, or the platform's colour
// management published another profile. Signs that come together are told
// once, from the event loop.
class MonitorProfileWatch : public QObject
{
public:
    MonitorProfileWatch(QWidget *window, std::function<void()> changed);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watchScreen();
    void tell();

    QWidget *window;
    std::function<void()> changed;
    std::unique_ptr<QObject> published;
    QPointer<QWindow> watchedWindow;
    bool pending = false;
};
