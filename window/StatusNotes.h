#pragma once

#include <QString>
#include <QStringList>

class QMainWindow;

// What the status bar tells about the last action: silent fallbacks and
// other notes, gathered from the start of the action so none hides another.
class StatusNotes
{
public:
    explicit StatusNotes(QMainWindow *window) : window(window) {}

    void clear();
    // An empty note tells nothing and is left out.
    void add(const QString &note);

private:
    QMainWindow *window;
    QStringList notes;
};
