// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>

#include <memory>

class QImage;

// A 2D texture of a picture, made with plain OpenGL calls like Framebuffer, so that it works in
// any current context. Made, bound and destroyed while its context is current: it frees its GL
// name once, when it goes.
class Texture {
public:
    // The picture scaled to size, or to the largest size the GL takes with the aspect kept. Null
    // without a picture or a size, or when the GL refuses the upload.
    static std::unique_ptr<Texture> create(const QImage& image, QSize size);
    // The texels create() uploads: the picture scaled as there, RGBA8888 with an alpha channel
    // and RGB888 without. Null where create() would fail before the upload.
    static QImage texels(const QImage& image, QSize size);
    // Uploads texels made by texels(), as they are.
    static std::unique_ptr<Texture> fromTexels(const QImage& texels);
    // Replaces the texels under the same name, so that whoever holds the texture draws the new
    // ones; false when the GL refuses them.
    bool setTexels(const QImage& texels);
    ~Texture();

    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    void bind();
    // The size uploaded, which the GL's largest texture may have made smaller than asked for.
    QSize size() const { return _size; }

private:
    Texture(unsigned int name, QSize size) : _name(name), _size(size) {}

    unsigned int _name = 0;
    QSize _size;
};
