// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/Texture.h"

#include <QImage>

#include <GL/gl.h>

#include <cstring>
#include <vector>

namespace {

// Errors left by earlier calls would be taken for a failed upload. The bound guards against a
// context that keeps reporting the same error.
void clearGLErrors() {
    for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

// Copies pixel rows without the padding QImage adds, for an unpack alignment of 1.
std::vector<uchar> tightlyPackedRows(const QImage& pixels, int bytesPerPixel) {
    const qsizetype rowBytes = qsizetype(pixels.width()) * bytesPerPixel;
    std::vector<uchar> packed(size_t(rowBytes) * size_t(pixels.height()));
    for (int row = 0; row < pixels.height(); ++row)
        std::memcpy(packed.data() + row * rowBytes, pixels.constScanLine(row), size_t(rowBytes));
    return packed;
}

QSize withinLargestTexture(QSize size) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    if (largest <= 0)
        return {};
    if (size.width() > largest || size.height() > largest)
        return size.scaled(largest, largest, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    return size;
}

} // namespace

std::unique_ptr<Texture> Texture::create(const QImage& image, QSize size) {
    return fromTexels(texels(image, size));
}

QImage Texture::texels(const QImage& image, QSize size) {
    if (image.isNull() || size.isEmpty())
        return {};
    size = withinLargestTexture(size);
    if (size.isEmpty())
        return {};
    const bool hasAlpha = image.hasAlphaChannel();
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(hasAlpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
}

std::unique_ptr<Texture> Texture::fromTexels(const QImage& texels) {
    if (texels.isNull())
        return nullptr;
    GLuint name = 0;
    glGenTextures(1, &name);
    if (name == 0)
        return nullptr;
    std::unique_ptr<Texture> texture(new Texture(name, texels.size()));
    if (!texture->setTexels(texels))
        return nullptr;
    return texture;
}

bool Texture::setTexels(const QImage& texels) {
    const bool hasAlpha = texels.format() == QImage::Format_RGBA8888;
    const int bytesPerPixel = hasAlpha ? 4 : 3;
    std::vector<uchar> packed;
    const uchar* data = texels.constBits();
    if (texels.bytesPerLine() != qsizetype(texels.width()) * bytesPerPixel) {
        packed = tightlyPackedRows(texels, bytesPerPixel);
        data = packed.data();
    }
    clearGLErrors();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    bind();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, texels.width(), texels.height(), 0,
                 hasAlpha ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE, data);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    const bool uploaded = glGetError() == GL_NO_ERROR;
    glBindTexture(GL_TEXTURE_2D, 0);
    if (uploaded)
        _size = texels.size();
    return uploaded;
}

Texture::~Texture() {
    glDeleteTextures(1, &_name);
}

void Texture::bind() {
    glBindTexture(GL_TEXTURE_2D, _name);
}
