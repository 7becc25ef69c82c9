#pragma once

#include <QObject>
#include <QRect>

class QStatusBar;

// Lets a status bar's message give way to the permanent widgets on its right
// (the pointer readout, the progress of work): a message longer than the room
// left of them is drawn cut at its end with an ellipsis instead of running into
// them, and the whole message becomes the tool tip of that room.
// currentMessage() keeps the whole message.
class StatusMessageElision : public QObject
{
public:
    static void apply(QStatusBar *bar);
    // The message as the bar draws it.
    static QString shownMessage(const QStatusBar *bar);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit StatusMessageElision(QStatusBar *bar);
    static QRect messageRoom(const QStatusBar *bar);
    static void paint(QStatusBar *bar, const QRect &exposed);
};
