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
