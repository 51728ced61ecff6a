// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/Framebuffer.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <QImage>

std::unique_ptr<Framebuffer> Framebuffer::create(QSize size, Kind kind) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    if (size.isEmpty() || size.width() > largest || size.height() > largest)
        return nullptr;
    std::unique_ptr<Framebuffer> framebuffer(new Framebuffer(size, kind));
    glGenFramebuffers(1, &framebuffer->_framebuffer);
    glGenRenderbuffers(1, &framebuffer->_colour);
    glBindRenderbuffer(GL_RENDERBUFFER, framebuffer->_colour);
    glRenderbufferStorage(GL_RENDERBUFFER, kind == Kind::picture ? GL_RGBA8 : GL_R8, size.width(),
                          size.height());
    if (kind == Kind::picture) {
        glGenRenderbuffers(1, &framebuffer->_depth);
        glBindRenderbuffer(GL_RENDERBUFFER, framebuffer->_depth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, size.width(), size.height());
    }
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    framebuffer->bind();
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                              framebuffer->_colour);
    if (kind == Kind::picture)
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                  framebuffer->_depth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        return nullptr;
    return framebuffer;
}

Framebuffer::~Framebuffer() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &_framebuffer);
    glDeleteRenderbuffers(1, &_colour);
    glDeleteRenderbuffers(1, &_depth);
}

void Framebuffer::bind() {
    glBindFramebuffer(GL_FRAMEBUFFER, _framebuffer);
}

void Framebuffer::read(QImage& image, QRect box) const {
    const bool picture = _kind == Kind::picture;
    const QImage::Format format = picture ? QImage::Format_RGBA8888 : QImage::Format_Alpha8;
    if (image.size() != _size || image.format() != format) {
        image = QImage(_size, format);
        box = QRect(QPoint(0, 0), _size);
    }
    if (box.isEmpty())
        return;
    const int bytesPerPixel = picture ? 4 : 1;
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, GLint(image.bytesPerLine() / bytesPerPixel));
    glReadPixels(box.x(), box.y(), box.width(), box.height(), picture ? GL_RGBA : GL_RED,
                 GL_UNSIGNED_BYTE, image.scanLine(box.y()) + box.x() * bytesPerPixel);
}
