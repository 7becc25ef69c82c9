#include "displayplatform.h"

#include <QByteArray>
#include <QtGlobal>

#include <xcb/xcb.h>

namespace {

bool displayAnswers()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

} // namespace

void chooseDisplayPlatform()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray(displayAnswers() ? "xcb" : "offscreen"));
}
