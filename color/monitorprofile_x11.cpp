// X11: colour-management daemons publish each monitor's profile on the root
// window, as _ICC_PROFILE for the first screen and _ICC_PROFILE_n for screen n.
#include "monitorprofile.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QDebug>
#include <QGuiApplication>
#include <QHash>
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

// Watches the root window's properties for _ICC_PROFILE and _ICC_PROFILE_n.
class PublishedProfileWatch : public QObject, public QAbstractNativeEventFilter
{
public:
    explicit PublishedProfileWatch(std::function<void()> changed) : changed(std::move(changed))
    {
        xcb_connection_t *connection = QX11Info::connection();
        const xcb_window_t root = QX11Info::appRootWindow();
        // Added to what Qt already listens to on the root window, never in its place.
        XcbReply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, root), nullptr),
            &std::free);
        const uint32_t mask = (attributes ? attributes->your_event_mask : 0) | XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(connection);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~PublishedProfileWatch() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray &type, void *message, long *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event);
        if (notify->window == QX11Info::appRootWindow() && isProfileAtom(notify->atom))
            changed();
        return false;
    }

private:
    bool isProfileAtom(xcb_atom_t atom)
    {
        if (!known.contains(atom)) {
            xcb_connection_t *connection = QX11Info::connection();
            XcbReply<xcb_get_atom_name_reply_t> name(
                xcb_get_atom_name_reply(connection, xcb_get_atom_name(connection, atom), nullptr), &std::free);
            const QByteArray text = name ? QByteArray(xcb_get_atom_name_name(name.get()),
                                                       xcb_get_atom_name_name_length(name.get()))
                                         : QByteArray();
            known.insert(atom, text == "_ICC_PROFILE" || text.startsWith("_ICC_PROFILE_"));
        }
        return known.value(atom);
    }

    std::function<void()> changed;
    // Root properties change often (the active window, the desktop); their names are asked once.
    QHash<xcb_atom_t, bool> known;
};

} // namespace

std::unique_ptr<QObject> watchPublishedProfiles(std::function<void()> changed)
{
    if (!QX11Info::isPlatformX11())
        return nullptr;
    return std::make_unique<PublishedProfileWatch>(std::move(changed));
}

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
