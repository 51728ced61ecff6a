// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>

class QOffscreenSurface;
class QOpenGLContext;

// An OpenGL 2.1 compatibility context that only ever draws into framebuffer objects. Through the
// window system it is Qt's context on an offscreen surface; surfaceless, it is an EGL context on
// Mesa's surfaceless platform, which needs no display server at all.
class OffscreenContext {
public:
    enum class Platform { WindowSystem, Surfaceless };

    // Null when no such context can be made; failure then says what could not be made.
    static std::unique_ptr<OffscreenContext> create(Platform platform, QString* failure = nullptr);
    ~OffscreenContext();

    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    bool makeCurrent();
    void doneCurrent();

private:
    OffscreenContext() = default;
    bool createWithWindowSystem(QString* failure = nullptr);
    bool createSurfaceless(QString* failure = nullptr);

    std::unique_ptr<QOpenGLContext> _qtContext;
    std::unique_ptr<QOffscreenSurface> _surface;
    void* _eglDisplay = nullptr;
    void* _eglContext = nullptr;
};
