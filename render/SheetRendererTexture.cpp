// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The sheet's texture: the picture scaled to what the sheet shows and uploaded.
#include "render/SheetRenderer.h"

#include <QtMath>

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

} // namespace

unsigned int SheetRenderer::createTexture(const QImage& image) {
    QSize size(int(image.width() * _scale), int(image.height() * _scale));
    // No more texels than the sheet has device pixels: a larger texture would only cost memory.
    const QSizeF sheetPixels = _geometry.imageSize() * pointsPerWorldUnit * _scale;
    if (!sheetPixels.isEmpty())
        size = size.boundedTo(QSize(qCeil(sheetPixels.width()), qCeil(sheetPixels.height())));
    const unsigned int textureID = createTextureOfSize(image, size);
    if (textureID != 0)
        _textureSize = size;
    return textureID;
}

unsigned int SheetRenderer::createTextureOfSize(const QImage& image, QSize& size) {
    if (image.isNull() || size.isEmpty())
        return 0;
    GLint maximumSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maximumSize);
    if (maximumSize <= 0)
        return 0;
    if (size.width() > maximumSize || size.height() > maximumSize)
        size = size.scaled(maximumSize, maximumSize, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));

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

    GLuint textureID = 0;
    glGenTextures(1, &textureID);
    if (textureID == 0)
        return 0;
    clearGLErrors();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glBindTexture(GL_TEXTURE_2D, textureID);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, size.width(), size.height(), 0,
                 hasAlpha ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE, data);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    const bool uploaded = glGetError() == GL_NO_ERROR;
    glBindTexture(GL_TEXTURE_2D, 0);
    if (!uploaded) {
        glDeleteTextures(1, &textureID);
        return 0;
    }
    return textureID;
}
