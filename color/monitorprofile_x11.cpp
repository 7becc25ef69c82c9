// X11: colour-management daemons publish each monitor's profile on the root
// window, as _ICC_PROFILE for the first screen and _ICC_PROFILE_n for screen n.
#include "monitorprofile.h"

#include <QDebug>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <QX11Info>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

// Larger than any real display profile; keeps a broken property from costing memory.
constexpr uint32_t maxProfileWords = 16 * 1024 * 1024 / 4;

int screenIndexOf(const QWidget *widget)
{
    const QWindow *view = widget ? widget->window()->windowHandle() : nullptr;
    const QScreen *screen = view ? view->screen() : nullptr;
    if (!screen) {
        // Like the platform's own rule: a window on no monitor gets the primary one.
        qDebug("View is NULL");
        return 0;
    }
    return qMax(0, QGuiApplication::screens().indexOf(const_cast<QScreen *>(screen)));
}

QByteArray propertyName(int screenIndex)
{
    return screenIndex == 0 ? QByteArray("_ICC_PROFILE") : "_ICC_PROFILE_" + QByteArray::number(screenIndex);
}

template <typename T>
using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t existingAtom(xcb_connection_t *connection, const QByteArray &name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 1, uint16_t(name.size()), name.constData());
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QByteArray rootProperty(xcb_connection_t *connection, xcb_atom_t atom)
{
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, QX11Info::appRootWindow(), atom, XCB_ATOM_CARDINAL, 0, maxProfileWords);
    XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply || reply->format != 8 || reply->type != XCB_ATOM_CARDINAL)
        return QByteArray();
    return QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

} // namespace

QByteArray monitorProfileBytes(const QWidget *widget)
{
    const int screenIndex = screenIndexOf(widget);
    if (!QX11Info::isPlatformX11())
        return QByteArray();
    xcb_connection_t *connection = QX11Info::connection();
    const xcb_atom_t atom = existingAtom(connection, propertyName(screenIndex));
    if (atom == XCB_ATOM_NONE)
        return QByteArray();
    return rootProperty(connection, atom);
}
