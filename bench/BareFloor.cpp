// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "BareFloor.h"

#include "render/Framebuffer.h"
#include "render/OffscreenContext.h"

#include <GL/gl.h>

#include <QImage>

#include <memory>

namespace {

QImage gradientImage(QSize size) {
    QImage image(size, QImage::Format_RGBA8888);
    for (int y = 0; y < size.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            row[x] = 0xFF800000u | uint32_t(y * 255 / size.height()) << 8 |
                     uint32_t(x * 255 / size.width());
    }
    return image;
}

void setUpOrtho(QSize frame) {
    glViewport(0, 0, frame.width(), frame.height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, frame.width(), 0, frame.height(), -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 0);
    glEnable(GL_DEPTH_TEST);
}

GLuint uploadTexture(const QImage& texels) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, texels.width(), texels.height(), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, texels.constBits());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    return texture;
}

void drawQuad(QSize frame, QSize sheet) {
    const float left = float(frame.width() - sheet.width()) / 2;
    const float bottom = float(frame.height() - sheet.height()) / 2;
    const float right = left + float(sheet.width());
    const float top = bottom + float(sheet.height());
    glEnable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(left, bottom, 0);
    glTexCoord2f(1, 0);
    glVertex3f(right, bottom, 0);
    glTexCoord2f(1, 1);
    glVertex3f(right, top, 0);
    glTexCoord2f(0, 1);
    glVertex3f(left, top, 0);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

} // namespace

void measureBareFloor(benchmark::State& state, QSize frame, QSize sheet) {
    auto context = OffscreenContext::create(OffscreenContext::Platform::WindowSystem, nullptr);
    std::unique_ptr<Framebuffer> framebuffer =
        context && context->makeCurrent() ? Framebuffer::create(frame) : nullptr;
    if (!framebuffer) {
        state.SkipWithError("no OpenGL framebuffer");
        return;
    }
    framebuffer->bind();
    setUpOrtho(frame);
    const GLuint texture = uploadTexture(gradientImage(sheet));
    QImage image(frame, QImage::Format_RGBA8888);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawQuad(frame, sheet);
        glReadPixels(0, 0, frame.width(), frame.height(), GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
        benchmark::DoNotOptimize(image.constBits());
    }
    glDeleteTextures(1, &texture);
    framebuffer.reset();
    context->doneCurrent();
}
