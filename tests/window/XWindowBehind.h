// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>

struct _XDisplay; // Xlib's Display; its header's macros clash with Qt's

// A plain X client window covering the whole screen, mapped before the windows under test so
// that it lies behind them; it records the clicks that reach it. Clicks are made with XTest, as
// real pointer input the X server routes by window shapes, not as Qt events.
class XWindowBehind {
public:
    XWindowBehind();
    ~XWindowBehind();
    XWindowBehind(const XWindowBehind&) = delete;
    XWindowBehind& operator=(const XWindowBehind&) = delete;

    bool isMapped() const { return _mapped; }

    // Press at a global Qt position, drag by an offset in points and release.
    void clickAndDrag(QPoint globalPoint, QPoint dragBy = QPoint());
    // Waits for the next button press that reached this window; its position in device pixels.
    bool waitForPress(int milliseconds = 3000, QPoint* at = nullptr);

private:
    static void waitForPleatorasRequests();
    bool nextPress(QPoint* at);

    _XDisplay* _display = nullptr;
    unsigned long _window = 0; // an X Window id
    bool _mapped = false;
};
