// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Rendering the fold at any pixel size, for exports larger than the frame: one framebuffer where
// it fits, otherwise tiles, each drawn through its share of the frame's frustum; the sizes of the
// textures and the GL objects left to the context.
#include "render/SheetRenderer.h"

#include "render/FloorPass.h"
#include "render/FrameTiles.h"
#include "render/Framebuffer.h"
#include "render/RenderLog.h"
#include "render/Texture.h"

#include <QtMath>

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

namespace {

// Larger tiles render no faster (the export benchmark found them slower) and cost framebuffer
// memory: colour and depth, 8 bytes a pixel.
constexpr int largestTileEdge = 1024;
constexpr int smallestTileEdge = 256;

int largestTileTheDriverTakes() {
    GLint renderbuffer = 0;
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    return std::min({largestTileEdge, int(renderbuffer), int(viewport[0]), int(viewport[1])});
}

} // namespace

QImage SheetRenderer::renderAtSize(QSize pixelSize, QImage picture, const TileProgress& progress) {
    if (pixelSize.isEmpty() || (picture.isNull() && !_texture) || !_context->makeCurrent())
        return {};
    bakeGrain();
    // The texture first, and the picture let go at once: the two never share memory with the
    // large picture made here.
    std::unique_ptr<Texture> pictureTexture;
    if (!picture.isNull())
        pictureTexture =
            Texture::fromTexels(grainedTexels(Texture::texels(picture, picture.size()), false));
    Texture* texture = picture.isNull() ? _texture.get() : pictureTexture.get();
    picture = QImage();
    std::unique_ptr<FloorPass> floor;
    if (_floor.shown) {
        ProjectedBox::Matrix standing;
        ProjectedBox::Matrix modelView;
        setUpModelView(false);
        glGetDoublev(GL_MODELVIEW_MATRIX, standing.data());
        setUpModelView();
        glGetDoublev(GL_MODELVIEW_MATRIX, modelView.data());
        floor = FloorPass::create(_floor, _geometry, standing, modelView);
    }
    int largestTile = largestTileTheDriverTakes();
    std::unique_ptr<Framebuffer> framebuffer = tileFramebuffer(pixelSize, largestTile);
    QImage image(pixelSize, QImage::Format_RGBA8888);
    if (image.isNull())
        qCWarning(renderLog) << "No memory for a picture of" << pixelSize;
    bool complete = framebuffer && texture && !image.isNull() && (floor || !_floor.shown);
    const FrameTiles tiles(pixelSize, largestTile);
    // Each tile makes the context current again: the progress may have let other documents draw.
    for (int i = 0; complete && i < tiles.count(); ++i) {
        complete = _context->makeCurrent();
        if (complete) {
            framebuffer->bind();
            drawTile(tiles, i, *texture, floor.get(), image);
            complete = !progress || progress(i + 1, tiles.count());
        }
    }
    if (_context->makeCurrent()) {
        pictureTexture.reset();
        framebuffer.reset();
        floor.reset();
    } else {
        (void)floor.release();
        leaveToTheContext(std::move(pictureTexture), std::move(framebuffer));
    }
    return complete ? image : QImage();
}

// The driver may refuse a framebuffer it claims to support; smaller tiles then make do.
std::unique_ptr<Framebuffer> SheetRenderer::tileFramebuffer(QSize pixelSize, int& largestTile) {
    for (; largestTile >= smallestTileEdge; largestTile /= 2) {
        if (auto framebuffer = Framebuffer::create(FrameTiles(pixelSize, largestTile).tileSize()))
            return framebuffer;
    }
    qCWarning(renderLog) << "No framebuffer for tiles of a picture of" << pixelSize;
    return nullptr;
}

// The tile's pixels go straight to their place in the picture: framebuffer row r is picture
// row r, as in the frame's capture.
void SheetRenderer::drawTile(const FrameTiles& tiles, int index, Texture& texture, FloorPass* floor,
                             QImage& image) {
    const QRect pixels = tiles.tile(index);
    const Frustum whole = FrameTiles::perspective(
        fieldOfViewDegrees, double(_frameSize.width()) / double(_frameSize.height()), nearPlane);
    const Frustum part = tiles.frustum(index, whole);
    glViewport(0, 0, pixels.width(), pixels.height());
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(part.left, part.right, part.bottom, part.top, nearPlane, farPlane);
    if (floor)
        floor->draw();
    setUpModelView();
    drawSheet(texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, GLint(image.bytesPerLine() / 4));
    glReadPixels(0, 0, pixels.width(), pixels.height(), GL_RGBA, GL_UNSIGNED_BYTE,
                 image.scanLine(pixels.y()) + qsizetype(pixels.x()) * 4);
}

// No more texels than the sheet has device pixels: a larger texture would only cost memory.
QSize SheetRenderer::textureSizeFor(const QImage& image) const {
    const QSize size(int(image.width() * _scale), int(image.height() * _scale));
    const QSizeF sheetPixels = _geometry.imageSize() * pointsPerWorldUnit * _scale;
    if (sheetPixels.isEmpty())
        return size;
    return size.boundedTo(QSize(qCeil(sheetPixels.width()), qCeil(sheetPixels.height())));
}

QSize SheetRenderer::textureSize() const {
    return _texture ? _texture->size() : QSize();
}

// Without their context current GL objects cannot be freed there, and freeing them in another
// context would free that context's objects of the same names: the context frees them as it goes.
void SheetRenderer::leaveToTheContext(std::unique_ptr<Texture> texture,
                                      std::unique_ptr<Framebuffer> framebuffer) {
    qCWarning(renderLog) << "GL objects left to their context, which could not be made current";
    (void)texture.release();
    (void)framebuffer.release();
}
