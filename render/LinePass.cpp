// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/LinePass.h"

#include "render/Framebuffer.h"

#include <GL/gl.h>

std::unique_ptr<LinePass> LinePass::create(QSize pixelSize) {
    std::unique_ptr<Framebuffer> framebuffer =
        Framebuffer::create(pixelSize, Framebuffer::Kind::coverage);
    if (!framebuffer)
        return nullptr;
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT); // once: later passes erase their own lines
    return std::unique_ptr<LinePass>(new LinePass(std::move(framebuffer)));
}

LinePass::LinePass(std::unique_ptr<Framebuffer> framebuffer)
    : _framebuffer(std::move(framebuffer)) {}

LinePass::~LinePass() = default;

const QImage& LinePass::draw(std::span<const QVector3D> ends, QRect box) {
    _framebuffer->bind();
    Matrix modelView;
    Matrix projection;
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView.data());
    glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
    if (!_drawnEnds.empty()) {
        // The same vertices through the same matrices and viewport cover the same pixels.
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixd(_drawnProjection.data());
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixd(_drawnModelView.data());
        glColor4f(0, 0, 0, 0);
        drawLines(_drawnEnds);
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixd(projection.data());
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixd(modelView.data());
    }
    glColor4f(1, 1, 1, 1);
    drawLines(ends);
    _drawnEnds.assign(ends.begin(), ends.end());
    _drawnModelView = modelView;
    _drawnProjection = projection;
    glFlush();
    _framebuffer->read(_frame, box);
    return _frame;
}

void LinePass::drawLines(std::span<const QVector3D> ends) {
    glBegin(GL_LINES);
    for (const QVector3D& end : ends)
        glVertex3f(end.x(), end.y(), end.z());
    glEnd();
}
