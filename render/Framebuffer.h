// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>

#include <memory>

// A framebuffer object with an 8-bit RGBA colour buffer and a 24-bit depth buffer, made with
// plain OpenGL calls so that it works in any current context, Qt's or EGL's. Made, bound and
// destroyed while its context is current.
class Framebuffer {
public:
    // Null when the GL cannot make a complete framebuffer of that size.
    static std::unique_ptr<Framebuffer> create(QSize size);
    ~Framebuffer();

    Framebuffer(const Framebuffer&) = delete;
    Framebuffer& operator=(const Framebuffer&) = delete;

    void bind();
    QSize size() const { return _size; }

private:
    explicit Framebuffer(QSize size) : _size(size) {}

    QSize _size;
    unsigned int _framebuffer = 0;
    unsigned int _colour = 0;
    unsigned int _depth = 0;
};
