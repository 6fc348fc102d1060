#include "platform/system/taskbar.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(qstrlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t result = reply->atom;
    free(reply);
    return result;
}

// An EWMH state change request: _NET_WM_STATE_ADD of _NET_WM_STATE_SKIP_TASKBAR.
void requestSkipTaskbar(QWindow *window)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = static_cast<xcb_window_t>(window->winId());
    event.type = atom(connection, "_NET_WM_STATE");
    event.data.data32[0] = 1;
    event.data.data32[1] = atom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    event.data.data32[2] = 0;
    event.data.data32[3] = 1; // from a normal application
    xcb_send_event(connection, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(connection);
}

// The window manager ignores state requests for windows it does not manage yet, so the
// request goes out once the window is first exposed, that is once it is managed and mapped.
class SkipTaskbarOnExpose final : public QObject
{
public:
    explicit SkipTaskbarOnExpose(QWindow *window) : QObject(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = static_cast<QWindow *>(watched);
        if (event->type() == QEvent::Expose && window->isExposed()) {
            requestSkipTaskbar(window);
            deleteLater();
        }
        return false;
    }
};

} // namespace

void excludeFromTaskbar(QWidget *window)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    window->winId(); // creates the native window
    QWindow *handle = window->windowHandle();
    if (!handle)
        return;
    handle->installEventFilter(new SkipTaskbarOnExpose(handle));
}
