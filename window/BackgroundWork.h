#pragma once

#include "workcontrol.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLabel;
class QMainWindow;
class QProgressBar;
class QPushButton;
class QTimer;

// Runs the heavy part of an action on a worker thread while the window stays
// alive. The caller waits in run(), which keeps the event loop turning, so
// the code before and after it (dialogs, panel changes) stays on the GUI
// thread and in order. Meanwhile the window repaints but takes no input but
// Esc and the Cancel button; after a moment the status bar shows the work's
// title, a progress bar and the Cancel button. The busy cursor shows from
// the start of the work until the caller has shown its values or warning.
//
// A worker that does not stop soon after a cancel (a read that blocks, say)
// is abandoned: run() returns at once and the worker finishes on its own.
// A job must therefore own everything it touches, by value or shared.
//
// Work the user need not wait for (measuring the patch rows) is started
// instead: the window keeps taking input, and the status bar shows the same
// title, progress and Cancel.
class BackgroundWork : public QObject
{
public:
    // How started work ended: to its end, cancelled by the user, or
    // interrupted by other work (it may be started again).
    enum class Ending { Finished, Cancelled, Interrupted };

    explicit BackgroundWork(QMainWindow *window);
    ~BackgroundWork() override;

    // Runs job on a worker thread and returns once it has finished: true
    // when it ran to its end, false when it was cancelled or abandoned (its
    // results are then incomplete and must be dropped).
    bool run(const QString &title, std::function<void(WorkControl &)> job);

    bool busy() const { return bool(control); }
    void cancel();

    // Runs job on a worker thread and returns at once; ended is called on
    // the window's thread when it has ended. One started work at a time:
    // run() and start() interrupt the one going. A cancelled or interrupted
    // worker is left to stop on its own, so the job too must own all it touches.
    void start(const QString &title, std::function<void(WorkControl &)> job, std::function<void(Ending)> ended);
    bool started() const { return bool(startedControl); }
    // Ends the started work, whose results are no longer wanted.
    void interrupt() { endStarted(Ending::Interrupted); }

    // The busy cursor, from the start of an action until its values or its warning show.
    void showBusyCursor();
    void hideBusyCursor();
    // Keeps the busy cursor past the end of the action, until released: a
    // load is done for the user once its picture is in view.
    void holdBusyCursor() { held = true; }
    void releaseBusyCursor();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct StartedLink;

    void workerEnded(const std::shared_ptr<WorkControl> &work);
    // Ends the started work at once: its worker is no longer waited for.
    void endStarted(Ending ending);
    void showProgressSoon(const QString &workTitle);
    void showProgress();
    void hideProgress();

    QMainWindow *window;
    QLabel *title;
    QProgressBar *progressBar;
    QPushButton *cancelButton;
    QTimer *progressTimer;
    // Gives up on a cancelled worker that has not stopped in time.
    QTimer *abandonTimer;
    std::shared_ptr<WorkControl> control;
    std::shared_ptr<WorkControl> startedControl;
    std::function<void(Ending)> startedEnded;
    std::shared_ptr<StartedLink> startedLink;
    bool cursorShown = false;
    bool held = false;
};

// Shows the busy cursor for the life of an action; showWarning() hides it
// earlier, before its box comes up.
class BusyCursorScope
{
public:
    explicit BusyCursorScope(BackgroundWork &work) : work(work) { work.showBusyCursor(); }
    ~BusyCursorScope() { work.hideBusyCursor(); }
    BusyCursorScope(const BusyCursorScope &) = delete;
    BusyCursorScope &operator=(const BusyCursorScope &) = delete;

private:
    BackgroundWork &work;
};
