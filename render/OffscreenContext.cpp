// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/OffscreenContext.h"

#include <QCoreApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QSurfaceFormat>

#define EGL_NO_X11
#include <EGL/egl.h>
#include <EGL/eglext.h>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("OffscreenContext", text);
}

// False, with the reason in failure when one is given.
bool fail(QString* failure, const QString& reason) {
    if (failure)
        *failure = reason;
    return false;
}

QSurfaceFormat contextFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(8);
    format.setDepthBufferSize(24);
    return format;
}

} // namespace

std::unique_ptr<OffscreenContext> OffscreenContext::create(Platform platform, QString* failure) {
    std::unique_ptr<OffscreenContext> context(new OffscreenContext);
    const bool created = platform == Platform::Surfaceless
                             ? context->createSurfaceless(failure)
                             : context->createWithWindowSystem(failure);
    return created ? std::move(context) : nullptr;
}

OffscreenContext::~OffscreenContext() {
    if (_eglDisplay) {
        eglMakeCurrent(_eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (_eglContext)
            eglDestroyContext(_eglDisplay, _eglContext);
    }
}

bool OffscreenContext::createWithWindowSystem(QString* failure) {
    _qtContext = std::make_unique<QOpenGLContext>();
    _qtContext->setFormat(contextFormat());
    if (!_qtContext->create() || _qtContext->isOpenGLES())
        return fail(failure, tr("No OpenGL context could be made."));
    _surface = std::make_unique<QOffscreenSurface>();
    _surface->setFormat(_qtContext->format());
    _surface->create();
    if (!_surface->isValid())
        return fail(failure, tr("No offscreen surface could be made."));
    if (!makeCurrent())
        return fail(failure, tr("The OpenGL context could not be made current."));
    return true;
}

// The display is shared by every context of the process and never terminated: other contexts
// may still use it.
bool OffscreenContext::createSurfaceless(QString* failure) {
    const auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay)
        _eglDisplay =
            getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (!_eglDisplay || !eglInitialize(_eglDisplay, nullptr, nullptr)) {
        _eglDisplay = nullptr;
        return fail(failure,
                    tr("EGL has no surfaceless platform here (EGL_MESA_platform_surfaceless)."));
    }
    if (!eglBindAPI(EGL_OPENGL_API))
        return fail(failure, tr("EGL offers no desktop OpenGL here."));
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                 2,
                                 EGL_CONTEXT_MINOR_VERSION,
                                 1,
                                 EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                 EGL_NONE};
    _eglContext = eglCreateContext(_eglDisplay, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    if (_eglContext == EGL_NO_CONTEXT)
        return fail(failure, tr("No surfaceless OpenGL context could be made."));
    if (!makeCurrent())
        return fail(failure, tr("The OpenGL context could not be made current."));
    return true;
}

bool OffscreenContext::makeCurrent() {
    if (_qtContext)
        return _qtContext->makeCurrent(_surface.get());
    return eglMakeCurrent(_eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, _eglContext);
}

void OffscreenContext::doneCurrent() {
    if (_qtContext)
        _qtContext->doneCurrent();
    else
        eglMakeCurrent(_eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}
