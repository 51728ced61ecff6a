// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "render/FloorScene.h"
#include "render/LineEndPointSearch.h"
#include "render/OffscreenContext.h"
#include "render/PaperGrain.h"
#include "render/PaperLook.h"
#include "render/SheetGeometry.h"

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QVector3D>

#include <array>
#include <functional>
#include <memory>
#include <span>
#include <vector>

class FloorPass;
class FrameTiles;
class FoldModel;
class Framebuffer;
class LinePass;
class PanelFoldModel;
class SheetFold;
class PaperShader;
class Texture;

// Off-screen renderer of one document: draws the image as the sheet folded along its crease lines
// (the classic's seven unless a fold of another layout is set), in perspective, with
// fixed-function OpenGL. The tilt turns the sheet about the axis across its creases: X for
// vertical creases, Y for horizontal ones; the yaw then about the axis along them. Lengths pushed
// in are image points; inside, one world unit is 200 image points. Every call that issues GL calls
// makes this renderer's context current first, since several documents each have a renderer.
class SheetRenderer {
public:
    // Called after each tile of a large render with the tiles done and their number; returning
    // false stops the render.
    using TileProgress = std::function<bool(int done, int total)>;

    // size: the document window's size in points (the frame is its truncated size);
    // scale: backing pixels per point: the frame is drawn at device pixels and the texture made
    // for them. Null without a usable context or framebuffer; failure then says which, for the
    // user. Surfaceless needs no display server.
    static std::unique_ptr<SheetRenderer>
    create(QSizeF size, double scale, QString* failure = nullptr,
           OffscreenContext::Platform platform = OffscreenContext::Platform::WindowSystem);
    ~SheetRenderer();

    SheetRenderer(const SheetRenderer&) = delete;
    SheetRenderer& operator=(const SheetRenderer&) = delete;

    void setPitch(float degrees);
    float pitch() const { return _pitch; }
    // The turn about the axis along the creases, after the pitch, as a camera orbiting the sheet.
    void setYaw(float degrees);
    float yaw() const { return _yaw; }

    // How strongly the facets are lit, 0 (every facet shows the picture unchanged) to 1. The light
    // stays with the viewer, so tilting changes it too.
    void setShading(float amount);
    float shading() const { return _shading; }
    // Toward the light in eye space, where the picture's top is -Y; by default (-1, -1, 2)
    // normalised, from the viewer's upper left.
    void setLight(QVector3D towardLight);

    // The back of the sheet, grain, crease shading and gloss. With every effect off the sheet is
    // drawn as without them, to the bit.
    void setPaperLook(const PaperLook& look);
    const PaperLook& paperLook() const { return _look; }
    // The picture a panel shows from behind when the look's back is a picture, mirrored so that
    // it reads the right way round there; a null image takes it away (the back then shows the
    // front picture). False when no texture can be made.
    bool setBackImage(const QImage& image);

    void setCreasePoint(float x, int index);
    void setCoordinates(QPointF point, int index);
    // Every crease position and profile vertex of the fold at once.
    void setFold(const FoldModel& fold);
    void setFold(const PanelFoldModel& fold);
    // A fold of any layout, hinged panels with their drawn surface.
    void setFold(const SheetFold& fold);
    // The drawn surface of a fold whose creases bend on arcs and the paper's thickness, in image
    // points; the lines stay as set. Setting a fold takes it away.
    void setSurface(const std::vector<HingedFold::SurfacePoint>& surface, double thickness);
    int lineCount() const { return _geometry.lineCount(); }
    void setImageSize(QSizeF size);
    // Gives the renderer a window of another size (points), keeping its context and scale, so
    // that one renderer serves pictures of many sizes. False when no framebuffer of that size
    // can be made; the renderer is then unusable.
    bool resize(QSizeF size);

    // Makes the sheet's texture; false when no texture can be made.
    bool setImage(const QImage& image);

    // The frame pass: the crease lines alone and their end-point search, then the textured sheet.
    // Does nothing until an image has been set. Only the rectangle that holds the sheet now or
    // held it at the last pass changes: the rest stays transparent.
    void display();
    // Whether the fold, the tilt, the size, the shading or the picture changed since the last
    // frame pass: without, a pass would draw the same frame and end points again.
    bool needsDisplay() const { return _needsDisplay; }

    // The current frame, upright, at device pixels (its devicePixelRatio is the scale): frame
    // coordinate y (origin bottom-left, points) lies in image row h - 1 - y x scale.
    // Only what passes changed since the last capture is read back into the kept frame.
    QImage captureFrame();
    // The pixels of the frame that the last captureFrame() read back; the others are as before.
    QRect lastCaptureChange() const { return _lastCaptureChange; }

    // End points from the last frame pass, in frame coordinates (points).
    QPointF endPoint(int line, LineEnd end) const;
    // Every line's end points from the last frame pass, in points.
    const LineEndPoints& lineEndPoints() const { return _endPoints; }

    // The current fold drawn into an upright picture of pixelSize, seen as the frame sees it
    // (the frame's aspect is kept). The sheet is textured from picture, at the picture's own
    // pixel size, or with the frame's texture when picture is null. Sizes beyond one framebuffer
    // render as tiles. Null when stopped, or when the picture or a framebuffer cannot be made.
    QImage renderAtSize(QSize pixelSize, QImage picture, const TileProgress& progress);

    // The floor renderAtSize() stands the sheet on, with its shadow; frame passes never show it.
    void setFloor(const FloorScene& floor) { _floor = floor; }
    const FloorScene& floor() const { return _floor; }

    double scale() const { return _scale; }
    // The pixel size of the frame's texture; empty before an image is set.
    QSize textureSize() const;

private:
    // Lengths arrive in image points; the renderer works in units of 200 points.
    static constexpr double pointsPerWorldUnit = 200.0;
    static constexpr double fieldOfViewDegrees = 50.0;
    static constexpr double nearPlane = 0.1;
    static constexpr double farPlane = 100.0;

    SheetRenderer(QSize frameSize, double scale);
    // failure: what could not be made.
    bool createGLResources(OffscreenContext::Platform platform, QString* failure = nullptr);
    bool makeCurrent();
    void setUpCamera();
    QRect sheetBox() const;
    void searchLineEndPoint(QRect pass);
    // Lines that fold back over each other hide from the search, so a surface's lines are
    // projected instead; false when an end lies behind the eye.
    bool projectLineEndPoints(std::span<const QVector3D> lineEnds);
    void drawSheet(Texture& texture);
    void drawPaper(PaperShader& shader, Texture& texture);
    void drawFacets(bool paperAttributes);
    void drawFacet(int facet, bool paperAttributes);
    void drawCutEdges();
    double reachAlongPanel(int point, int toward) const;
    void bakeGrain();
    PaperGrain::Placement grainPlacement(bool back) const;
    // Whether the back picture lies mirrored left to right behind the front, else top to bottom.
    bool backTurnsAsBook() const;
    QImage grainedTexels(QImage texels, bool back) const;
    float facetBrightness(int facet) const;
    PaperShader* paperShader();
    // Written out rather than worked out, so that frames lit from it stay as they always were.
    static constexpr std::array<double, 3> defaultLight = {-0.40824829, -0.40824829, 0.81649658};

    void setUpModelView(bool pitched = true);
    QSize textureSizeFor(const QImage& image) const;
    static void leaveToTheContext(std::unique_ptr<Texture> texture,
                                  std::unique_ptr<Framebuffer> framebuffer);
    std::unique_ptr<Framebuffer> tileFramebuffer(QSize pixelSize, int& largestTile);
    void drawTile(const FrameTiles& tiles, int index, Texture& texture, FloorPass* floor,
                  QImage& image);

    std::unique_ptr<OffscreenContext> _context;
    std::unique_ptr<Framebuffer> _framebuffer;
    std::unique_ptr<LinePass> _linePass;
    QSize _frameSize; // points
    QSize _pixelSize; // device pixels: the framebuffer and the captured frames
    float _eyeZ = 0.0f;
    float _pitch = 0.0f;
    float _yaw = 0.0f;
    float _shading = 0.0f;
    std::array<double, 3> _light = defaultLight;
    std::unique_ptr<Texture> _texture;
    std::unique_ptr<Texture> _backTexture;
    // The textures' texels without grain, kept to bake the grain again when it changes.
    QImage _pictureTexels;
    QImage _backTexels;
    std::unique_ptr<Texture> _blankPaper; // the back's plain paper, grey with the grain
    float _bakedGrain = 0.0f;             // in the textures now, with their placement
    PaperGrain::Placement _bakedPlacement;
    bool _bakedBookTurn = true;
    PaperLook _look;
    FloorScene _floor;
    std::unique_ptr<PaperShader> _paperShader;
    bool _paperShaderFailed = false;
    LineEndPoints _endPoints{};
    SheetGeometry _geometry;
    // The classic's lines are searched by its own rules, which its hit areas were made for.
    bool _classicLines = true;
    double _scale = 1.0;
    QImage _frame; // the last capture
    bool _needsDisplay = true;
    // Framebuffer pixels (rows from the bottom, which are also the captured rows).
    QRect _sheetBox;          // holds the sheet of the last pass
    QRect _uncapturedChange;  // drawn since the last capture
    QRect _lastCaptureChange; // read back by the last capture
};
