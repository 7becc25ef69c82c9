#pragma once

#include <QObject>

#include <functional>

class QWidget;

// Notes the first paint of a widget that finds it showing what is awaited.
class PaintWatch : public QObject
{
public:
    PaintWatch(QWidget *widget, std::function<bool()> showsAwaited);

    bool painted() const { return seen; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<bool()> showsAwaited;
    bool seen = false;
};
