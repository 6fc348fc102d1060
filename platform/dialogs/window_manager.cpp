#include "platform/dialogs/window_manager.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace {

template <typename Reply>
using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_connection_t *x11Connection()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// The window the window manager calls active; nullopt when it keeps no
// _NET_ACTIVE_WINDOW, XCB_NONE when it says none is.
std::optional<xcb_window_t> activeWindow(xcb_connection_t *connection, xcb_window_t root)
{
    static constexpr char name[] = "_NET_ACTIVE_WINDOW";
    const XcbReply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, sizeof name - 1, name),
                              nullptr),
        &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return std::nullopt;
    const XcbReply<xcb_get_property_reply_t> property(
        xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr),
        &std::free);
    if (!property || property->type != XCB_ATOM_WINDOW || property->format != 32
        || xcb_get_property_value_length(property.get()) < 4)
        return std::nullopt;
    return *static_cast<const xcb_window_t *>(xcb_get_property_value(property.get()));
}

// A window the window manager still names after it went (a dialog of ours that just
// closed, while the manager catches up) holds nothing.
bool stillExists(xcb_connection_t *connection, xcb_window_t window)
{
    const XcbReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window),
                                        nullptr),
        &std::free);
    return attributes != nullptr;
}

bool isOneOfOurs(xcb_window_t window)
{
    for (QWindow *ours : QGuiApplication::allWindows()) {
        if (ours->handle() && ours->winId() == window)
            return true;
    }
    return false;
}

} // namespace

bool anotherProgramHasTheKeyboard()
{
    if (QGuiApplication::focusWindow())
        return false;
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        return false;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return false;
    xcb_window_t holder = XCB_NONE;
    if (const std::optional<xcb_window_t> active = activeWindow(connection, screen->root)) {
        holder = *active;
    } else {
        const XcbReply<xcb_get_input_focus_reply_t> focus(
            xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr),
            &std::free);
        if (focus && focus->focus != XCB_INPUT_FOCUS_POINTER_ROOT && focus->focus != screen->root)
            holder = focus->focus;
    }
    return holder != XCB_NONE && !isOneOfOurs(holder) && stillExists(connection, holder);
}

void setUrgent(QWidget *window, bool urgent)
{
    xcb_connection_t *connection = x11Connection();
    if (!connection || !window->windowHandle() || !window->windowHandle()->handle())
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    // WM_HINTS: flags, then eight fields the flags say are set; bit 8 is the urgency hint.
    std::array<uint32_t, 9> hints{};
    const XcbReply<xcb_get_property_reply_t> current(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, id, XCB_ATOM_WM_HINTS,
                                                XCB_ATOM_WM_HINTS, 0, hints.size()),
                               nullptr),
        &std::free);
    if (current && current->format == 32) {
        const auto length = std::min<size_t>(
            hints.size() * 4, size_t(xcb_get_property_value_length(current.get())));
        std::memcpy(hints.data(), xcb_get_property_value(current.get()), length);
    }
    constexpr uint32_t urgencyHint = 1u << 8;
    hints[0] = urgent ? hints[0] | urgencyHint : hints[0] & ~urgencyHint;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_HINTS,
                        XCB_ATOM_WM_HINTS, 32, hints.size(), hints.data());
    xcb_flush(connection);
}
