// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>

#include <memory>

class QImage;

// A framebuffer object made with plain OpenGL calls so that it works in any current context,
// Qt's or EGL's. Made, bound, read and destroyed while its context is current.
class Framebuffer {
public:
    enum class Kind {
        picture, // 8-bit RGBA colour, read as RGBA8888, and a 24-bit depth buffer
        coverage // 8-bit red alone, read as Alpha8, no depth: a quarter of the bytes to read
    };

    // Null when the GL cannot make a complete framebuffer of that size.
    static std::unique_ptr<Framebuffer> create(QSize size, Kind kind = Kind::picture);
    ~Framebuffer();

    Framebuffer(const Framebuffer&) = delete;
    Framebuffer& operator=(const Framebuffer&) = delete;

    void bind();
    QSize size() const { return _size; }
    // Reads box (rows from the bottom) of the bound framebuffer into the same pixels of image, a
    // top-row-first image of the kind's format, which leaves the picture upright (the texture
    // stands upside down in the framebuffer). An image of another size or format is made anew
    // and read whole.
    void read(QImage& image, QRect box) const;

private:
    Framebuffer(QSize size, Kind kind) : _size(size), _kind(kind) {}

    QSize _size;
    Kind _kind;
    unsigned int _framebuffer = 0;
    unsigned int _colour = 0;
    unsigned int _depth = 0;
};
