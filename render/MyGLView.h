#pragma once

#include "render/LineEndPointSearch.h"
#include "render/OffscreenContext.h"

#include <QImage>
#include <QPointF>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <array>
#include <memory>

// Off-screen renderer of one document: draws the image as the sheet folded along its seven crease
// lines, in perspective, with fixed-function OpenGL. Lengths pushed in are image points; inside,
// one world unit is 200 image points. Every call that issues GL calls makes this renderer's
// context current first, since several documents each have a renderer.
class Framebuffer;

class MyGLView {
public:
    // size: the document window's size in points (the frame is its truncated size);
    // scale: backing pixels per point: the frame is drawn at device pixels and the texture made
    // for them. Null without a usable context or framebuffer; failure then says which, for the
    // user. Surfaceless needs no display server.
    static std::unique_ptr<MyGLView>
    initWithFrame(QSizeF size, double scale, QString* failure = nullptr,
                  OffscreenContext::Platform platform = OffscreenContext::Platform::WindowSystem);
    ~MyGLView();

    MyGLView(const MyGLView&) = delete;
    MyGLView& operator=(const MyGLView&) = delete;

    void setPitch(float degrees) { _pitch = degrees; }
    float pitch() const { return _pitch; }

    // How strongly the facets are lit, 0 (every facet shows the picture unchanged) to 1. The light
    // comes from the viewer's upper left and stays with the viewer, so tilting changes it too.
    void setShading(float amount);
    float shading() const { return _shading; }

    void setCreasePoint(float x, int index);
    void setCoordinates(QPointF point, int index);
    void setImageSize(QSizeF size);

    // Makes the sheet's texture; false when no texture can be made.
    bool setImage(const QImage& image);

    // The frame pass: the crease lines alone and their end-point search, then the textured sheet.
    // Does nothing until an image has been set.
    void display();

    // The current frame, upright, at device pixels (its devicePixelRatio is the scale): frame
    // coordinate y (origin bottom-left, points) lies in image row h - 1 - y x scale.
    QImage imageFromView();

    // End points from the last frame pass, in frame coordinates (points).
    QPointF getLineEndPointWithLineName(int line, bool topFlag) const;

    double scale() const { return _scale; }

private:
    MyGLView(QSize frameSize, double scale);
    // What could not be made, or empty.
    QString createGLResources(OffscreenContext::Platform platform);
    bool lockFocus();
    void setUpCamera();
    void searchLineEndPoint();
    void drawRectTextureID(unsigned int textureID);
    float facetBrightness(int facet) const;
    void readFrame(QImage& image);
    unsigned int textureIDWithImage(const QImage& image);

    std::unique_ptr<OffscreenContext> _context;
    std::unique_ptr<Framebuffer> _framebuffer;
    QSize _frameSize; // points
    QSize _pixelSize; // device pixels: the framebuffer and the captured frames
    float _eyeZ = 0.0f;
    float _pitch = 0.0f;
    float _shading = 0.0f;
    unsigned int _texID = 0;
    QSizeF _imageSize;
    LineEndPoints _endPt{};
    std::array<float, creaseLineCount> _creasePoint{};
    std::array<QPointF, creaseLineCount> _coordinates{};
    double _scale = 1.0;
    QImage _lineFrame; // reused by every line pass
};
