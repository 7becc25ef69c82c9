#pragma once

#include <QString>

// Times the window as a user waits on it: a new window is shown, the file is
// opened as the Open dialog opens it, and the clock runs until the values and
// the picture, fitted to the view, have been painted and reached the display
// server. One window: a process times one load, as a user's program that
// opens one file does.
class WindowLoadTimer
{
public:
    explicit WindowLoadTimer(const QString &path);

    void run();

    // Below 0 when it was never painted.
    double valuesMs() const { return values; }
    double pictureMs() const { return picture; }
    // When openImageFile returned, the values set but not yet painted.
    double returnedMs() const { return returned; }
    // The results the window showed, as one line.
    const QString &resultsLine() const { return results; }

private:
    QString path;
    double values = -1;
    double picture = -1;
    double returned = -1;
    QString results;
};
