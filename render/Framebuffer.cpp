// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/Framebuffer.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

std::unique_ptr<Framebuffer> Framebuffer::create(QSize size) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    if (size.isEmpty() || size.width() > largest || size.height() > largest)
        return nullptr;
    std::unique_ptr<Framebuffer> framebuffer(new Framebuffer(size));
    glGenFramebuffers(1, &framebuffer->_framebuffer);
    glGenRenderbuffers(1, &framebuffer->_colour);
    glGenRenderbuffers(1, &framebuffer->_depth);
    glBindRenderbuffer(GL_RENDERBUFFER, framebuffer->_colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, size.width(), size.height());
    glBindRenderbuffer(GL_RENDERBUFFER, framebuffer->_depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, size.width(), size.height());
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    framebuffer->bind();
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                              framebuffer->_colour);
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
