// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/Texture.h"
#include "RenderTestSupport.h"
#include "render/OffscreenContext.h"
#include "render/SheetRenderer.h"

#include <gtest/gtest.h>

#include <QOpenGLContext>

#include <GL/gl.h>

#include <vector>

namespace {

constexpr QRgb red = 0xffff0000;
constexpr QRgb green = 0xff00ff00;
const QSizeF sheet(800, 600);

// The textures alive in the current context. The GL hands out small names, counting up from 1.
int liveTextures() {
    int live = 0;
    for (GLuint name = 1; name <= 256; ++name)
        live += glIsTexture(name) == GL_TRUE;
    return live;
}

QImage filled(QSize size, QRgb colour, QImage::Format format = QImage::Format_RGB32) {
    QImage image(size, format);
    image.fill(colour);
    return image;
}

// A picture whose every pixel differs, so that a row or column out of place shows.
QImage gradient(QSize size, QImage::Format format) {
    QImage image(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgba(40 * x, 60 * y, 255 - 30 * x, 255 - 20 * y));
    }
    return image.convertToFormat(format);
}

// The texture's texels, top row first, as RGBA.
QImage texels(Texture& texture) {
    QImage image(texture.size(), QImage::Format_RGBA8888);
    texture.bind();
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
    glBindTexture(GL_TEXTURE_2D, 0);
    return image;
}

using TextureTest = GLContextTest;

// The renderer leaves its context current after each call, so its textures can be counted there.
int liveTexturesOfRenderer() {
    if (!QOpenGLContext::currentContext()) {
        ADD_FAILURE() << "The renderer left no context current";
        return -1;
    }
    return liveTextures();
}

std::unique_ptr<SheetRenderer> showing(const QImage& picture) {
    std::unique_ptr<SheetRenderer> view = SheetRenderer::create(windowSize(sheet), 1.0);
    if (!view)
        return nullptr;
    pushFold(*view, flatFold(sheet));
    if (!view->setImage(picture))
        return nullptr;
    return view;
}

// The colour in the middle of the frame, which the flat sheet covers.
QRgb middleOfFrame(SheetRenderer& view) {
    view.display();
    const QImage frame = view.captureFrame();
    return frame.pixel(frame.width() / 2, frame.height() / 2);
}

} // namespace

TEST_F(TextureTest, EachTextureFreesItsOwnNameOnceWhenItGoes) {
    std::unique_ptr<Texture> first = Texture::create(filled(QSize(8, 4), red), QSize(8, 4));
    std::unique_ptr<Texture> second = Texture::create(filled(QSize(8, 4), green), QSize(8, 4));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(liveTextures(), 2);
    first.reset();
    EXPECT_EQ(liveTextures(), 1);
    // The third may be given the first one's name; nothing frees that name again.
    std::unique_ptr<Texture> third = Texture::create(filled(QSize(8, 4), red), QSize(8, 4));
    ASSERT_TRUE(third);
    second.reset();
    EXPECT_EQ(liveTextures(), 1);
    EXPECT_EQ(texels(*third).pixel(3, 2), red);
    third.reset();
    EXPECT_EQ(liveTextures(), 0);
}

TEST_F(TextureTest, NothingToShowMakesNoTexture) {
    EXPECT_FALSE(Texture::create(QImage(), QSize(8, 4)));
    EXPECT_FALSE(Texture::create(filled(QSize(8, 4), red), QSize()));
    EXPECT_FALSE(Texture::create(filled(QSize(8, 4), red), QSize(0, 4)));
    EXPECT_EQ(liveTextures(), 0);
}

// Rows of three RGB or five RGBA texels are no multiple of four bytes, unlike QImage's rows.
TEST_F(TextureTest, UploadsEveryPixelInPlaceWithAndWithoutAlpha) {
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32}) {
        for (const QSize size : {QSize(3, 4), QSize(5, 3), QSize(4, 4)}) {
            SCOPED_TRACE(testing::Message()
                         << "format " << format << ", " << size.width() << " x " << size.height());
            const QImage picture = gradient(size, format);
            std::unique_ptr<Texture> texture = Texture::create(picture, size);
            ASSERT_TRUE(texture);
            EXPECT_EQ(texture->size(), size);
            EXPECT_EQ(texels(*texture), picture.convertToFormat(QImage::Format_RGBA8888));
        }
    }
}

TEST_F(TextureTest, IsMadeAtTheSizeAskedFor) {
    std::unique_ptr<Texture> texture = Texture::create(filled(QSize(40, 30), green), QSize(20, 10));
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->size(), QSize(20, 10));
    EXPECT_EQ(texels(*texture).pixel(19, 9), green);
}

// The texels are what create() would upload; replacing them keeps the name, so that whoever holds
// the texture draws the new ones.
TEST_F(TextureTest, TexelsAreReplacedUnderTheSameName) {
    const QImage opaque = Texture::texels(gradient(QSize(5, 3), QImage::Format_RGB32), QSize(5, 3));
    EXPECT_EQ(opaque.format(), QImage::Format_RGB888);
    const QImage translucent =
        Texture::texels(gradient(QSize(5, 3), QImage::Format_ARGB32), QSize(10, 6));
    EXPECT_EQ(translucent.format(), QImage::Format_RGBA8888);
    EXPECT_EQ(translucent.size(), QSize(10, 6));
    std::unique_ptr<Texture> texture = Texture::fromTexels(opaque);
    ASSERT_TRUE(texture);
    EXPECT_EQ(texels(*texture), opaque.convertToFormat(QImage::Format_RGBA8888));
    ASSERT_TRUE(texture->setTexels(translucent));
    EXPECT_EQ(liveTextures(), 1);
    EXPECT_EQ(texture->size(), QSize(10, 6));
    EXPECT_EQ(texels(*texture), translucent);
}

TEST(SheetRendererTextureTest, ReplacingThePictureFreesTheOldTexture) {
    const std::unique_ptr<SheetRenderer> view = showing(filled(QSize(800, 600), red));
    ASSERT_TRUE(view);
    ASSERT_TRUE(view->setImage(filled(QSize(400, 300), green)));
    ASSERT_TRUE(view->setImage(filled(QSize(800, 600), green)));
    EXPECT_EQ(liveTexturesOfRenderer(), 1);
    EXPECT_EQ(middleOfFrame(*view), green);
}

TEST(SheetRendererTextureTest, APictureThatMakesNoTextureKeepsTheOldOne) {
    const std::unique_ptr<SheetRenderer> view = showing(filled(QSize(800, 600), red));
    ASSERT_TRUE(view);
    const QSize textureSize = view->textureSize();
    EXPECT_FALSE(view->setImage(QImage()));
    EXPECT_EQ(liveTexturesOfRenderer(), 1);
    EXPECT_EQ(view->textureSize(), textureSize);
    EXPECT_EQ(middleOfFrame(*view), red);
}

TEST(SheetRendererTextureTest, AnExportOfItsOwnPictureFreesThatTextureAndKeepsTheFrames) {
    const std::unique_ptr<SheetRenderer> view = showing(filled(QSize(800, 600), red));
    ASSERT_TRUE(view);
    const QImage exported =
        view->renderAtSize(QSize(600, 375), filled(QSize(1600, 1200), green), {});
    ASSERT_FALSE(exported.isNull());
    EXPECT_EQ(exported.pixel(300, 187), green);
    EXPECT_EQ(liveTexturesOfRenderer(), 1);
    EXPECT_EQ(middleOfFrame(*view), red);
}
