// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "XWindowBehind.h"

#include <QGuiApplication>

#include <QTest>
#include <cstdlib>

#include <xcb/xcb.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {
constexpr int waitMilliseconds = 3000;
}

XWindowBehind::XWindowBehind() : _display(XOpenDisplay(nullptr)) {
    if (!_display)
        return;
    const int screen = DefaultScreen(_display);
    _window = XCreateSimpleWindow(_display, RootWindow(_display, screen), 0, 0,
                                  unsigned(DisplayWidth(_display, screen)),
                                  unsigned(DisplayHeight(_display, screen)), 0, 0, 0x404040);
    XSelectInput(_display, _window, ButtonPressMask | ButtonReleaseMask | StructureNotifyMask);
    XMapWindow(_display, _window);
    XFlush(_display);
    XEvent event;
    for (int waited = 0; waited < waitMilliseconds && !_mapped; waited += 10) {
        while (XCheckTypedWindowEvent(_display, _window, MapNotify, &event))
            _mapped = true;
        QTest::qWait(10);
    }
}

XWindowBehind::~XWindowBehind() {
    if (!_display)
        return;
    XDestroyWindow(_display, _window);
    XCloseDisplay(_display);
}

// The X server may take this client's requests before those Pleatora sent earlier on its own
// connection, such as a new input shape; one round trip there puts them all in effect.
void XWindowBehind::waitForPleatorasRequests() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11->connection();
    free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

void XWindowBehind::clickAndDrag(QPoint globalPoint, QPoint dragBy) {
    waitForPleatorasRequests();
    // X positions are device pixels.
    const double scale = qApp->devicePixelRatio();
    const QPoint from = globalPoint * scale;
    const QPoint to = (globalPoint + dragBy) * scale;
    XTestFakeMotionEvent(_display, -1, from.x(), from.y(), CurrentTime);
    XTestFakeButtonEvent(_display, Button1, True, CurrentTime);
    XFlush(_display);
    QTest::qWait(50);
    XTestFakeMotionEvent(_display, -1, (from.x() + to.x()) / 2, (from.y() + to.y()) / 2,
                         CurrentTime);
    XFlush(_display);
    QTest::qWait(50);
    XTestFakeMotionEvent(_display, -1, to.x(), to.y(), CurrentTime);
    XFlush(_display);
    QTest::qWait(50);
    XTestFakeButtonEvent(_display, Button1, False, CurrentTime);
    XFlush(_display);
}

bool XWindowBehind::nextPress(QPoint* at) {
    XEvent event;
    if (!XCheckTypedWindowEvent(_display, _window, ButtonPress, &event))
        return false;
    if (at)
        *at = QPoint(event.xbutton.x_root, event.xbutton.y_root);
    return true;
}

bool XWindowBehind::waitForPress(int milliseconds, QPoint* at) {
    for (int waited = 0; waited < milliseconds; waited += 10) {
        if (nextPress(at))
            return true;
        QTest::qWait(10);
    }
    return false;
}
