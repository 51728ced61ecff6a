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
    if (image.isNull() || size.isEmpty())
        return nullptr;
    size = withinLargestTexture(size);
    if (size.isEmpty())
        return nullptr;
    const bool hasAlpha = image.hasAlphaChannel();
    const QImage pixels =
        image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(hasAlpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    const int bytesPerPixel = hasAlpha ? 4 : 3;
    std::vector<uchar> packed;
    const uchar* data = pixels.constBits();
    if (pixels.bytesPerLine() != qsizetype(size.width()) * bytesPerPixel) {
        packed = tightlyPackedRows(pixels, bytesPerPixel);
        data = packed.data();
    }

    GLuint name = 0;
    glGenTextures(1, &name);
    if (name == 0)
        return nullptr;
    std::unique_ptr<Texture> texture(new Texture(name, size));
    clearGLErrors();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    texture->bind();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, size.width(), size.height(), 0,
                 hasAlpha ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE, data);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    const bool uploaded = glGetError() == GL_NO_ERROR;
    glBindTexture(GL_TEXTURE_2D, 0);
    if (!uploaded)
        return nullptr;
    return texture;
}

Texture::~Texture() {
    glDeleteTextures(1, &_name);
}

void Texture::bind() {
    glBindTexture(GL_TEXTURE_2D, _name);
}
