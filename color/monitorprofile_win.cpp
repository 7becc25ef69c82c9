// Windows: the Windows Color System's profile of the monitor showing the
// widget, through the plain Win32 lookup.
#include "monitorprofile.h"

#include "monitorprofile_win32.h"

#include <QDebug>
#include <QWidget>

QByteArray monitorProfileBytes(const QWidget *widget)
{
    const HWND window = widget ? reinterpret_cast<HWND>(widget->window()->winId()) : nullptr;
    const std::vector<unsigned char> bytes =
        monitorProfileOfWindow(window, windowsColorSystem(), [](const char *line) { qDebug("%s", line); });
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
}

// Windows tells of a new display profile through a display change, which
// moves or recreates the window: the screen watch of the window covers it.
std::unique_ptr<QObject> watchPublishedProfiles(std::function<void()>)
{
    return nullptr;
}
