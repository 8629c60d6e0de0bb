#include "ui/editor/tool_window.h"

#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QWidget>

#if defined(YZICON_HAVE_XCB)
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#endif

namespace yz::editor {

namespace {

#if defined(YZICON_HAVE_XCB)
xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (reply == nullptr) return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}
#endif

// Qt has no flag for "a normal window without a taskbar button": Qt::Tool
// drops the button but makes a utility window that window managers will not
// minimise. So the window stays a normal one and asks the window manager
// directly. Qt merges its own states into _NET_WM_STATE when it maps the
// window, keeping this one, so it must be set before the first show.
void askForNoTaskbarButton(QWidget& window) {
#if defined(YZICON_HAVE_XCB)
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) return;
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_atom_t state = internAtom(connection, "_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    if (state == XCB_ATOM_NONE || skipTaskbar == XCB_ATOM_NONE) return;
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 1, &skipTaskbar);
    xcb_flush(connection);
#else
    (void)window;
#endif
}

}  // namespace

void makeToolWindow(QWidget& window, QSize outerSize, bool withMinimise) {
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (withMinimise) flags |= Qt::WindowMinimizeButtonHint;
    window.setWindowFlags(flags);
    window.setFixedSize(clientSizeFor(outerSize));

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    QObject::connect(escape, &QShortcut::activated, &window, &QWidget::close);

    askForNoTaskbarButton(window);
}

void centreOnScreen(QWidget& window) {
    QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    const QSize outer(window.width() + 2 * kFrameBorder, window.height() + 2 * kFrameBorder + kCaptionHeight);
    // A top-level window's position is that of its frame.
    window.move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

}  // namespace yz::editor
