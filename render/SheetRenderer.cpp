// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/SheetRenderer.h"

#include "fold/FoldModel.h"
#include "fold/FoldWindowSize.h"
#include "fold/PanelFoldModel.h"
#include "fold/SheetFold.h"
#include "render/Framebuffer.h"
#include "render/LinePass.h"
#include "render/PaperShader.h"
#include "render/ProjectedBox.h"
#include "render/RenderLog.h"
#include "render/Texture.h"

#include <QCoreApplication>
#include <QVector3D>

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <span>
#include <utility>

namespace {

// One image point in world units: the line pass sits this far right of each crease.
constexpr double onePoint = 0.005;

} // namespace

std::unique_ptr<SheetRenderer> SheetRenderer::create(QSizeF size, double scale, QString* failure,
                                                     OffscreenContext::Platform platform) {
    const QSize frameSize(int(size.width()), int(size.height()));
    QString whatFailed;
    std::unique_ptr<SheetRenderer> view;
    if (frameSize.isEmpty()) {
        whatFailed = QCoreApplication::translate("SheetRenderer", "The frame has no size.");
    } else {
        view.reset(new SheetRenderer(frameSize, scale > 0.0 ? scale : 1.0));
        view->createGLResources(platform, &whatFailed);
    }
    if (whatFailed.isEmpty())
        return view;
    qCWarning(renderLog) << "No renderer:" << whatFailed;
    if (failure)
        *failure = whatFailed;
    return nullptr;
}

SheetRenderer::SheetRenderer(QSize frameSize, double scale)
    : _frameSize(frameSize),
      _pixelSize(qRound(frameSize.width() * scale), qRound(frameSize.height() * scale)),
      _scale(scale), _sheetBox(QPoint(0, 0), _pixelSize), _uncapturedChange(_sheetBox) {}

SheetRenderer::~SheetRenderer() {
    if (_context && _context->makeCurrent()) {
        _texture.reset();
        _backTexture.reset();
        _blankPaper.reset();
        _paperShader.reset();
        _linePass.reset();
        _framebuffer.reset();
        _context->doneCurrent();
    } else if (_context) {
        leaveToTheContext(std::move(_texture), std::move(_framebuffer));
        (void)_backTexture.release();
        (void)_blankPaper.release();
        (void)_paperShader.release();
        (void)_linePass.release();
    }
}

bool SheetRenderer::createGLResources(OffscreenContext::Platform platform, QString* failure) {
    _context = OffscreenContext::create(platform, failure);
    if (!_context)
        return false;
    _linePass = LinePass::create(_pixelSize);
    _framebuffer = Framebuffer::create(_pixelSize);
    if (!_framebuffer || !_linePass) {
        if (failure)
            *failure = QCoreApplication::translate("SheetRenderer",
                                                   "No %1 x %2 framebuffer could be made.")
                           .arg(_pixelSize.width())
                           .arg(_pixelSize.height());
        return false;
    }

    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_FLAT);
    return true;
}

bool SheetRenderer::makeCurrent() {
    if (_context->makeCurrent()) {
        _framebuffer->bind();
        return true;
    }
    qCWarning(renderLog) << "The renderer's context could not be made current";
    return false;
}

bool SheetRenderer::resize(QSizeF size) {
    const QSize frameSize(int(size.width()), int(size.height()));
    if (frameSize == _frameSize)
        return true;
    if (frameSize.isEmpty() || !_context->makeCurrent())
        return false;
    _frameSize = frameSize;
    _pixelSize = QSize(qRound(frameSize.width() * _scale), qRound(frameSize.height() * _scale));
    _linePass = LinePass::create(_pixelSize);
    _framebuffer = Framebuffer::create(_pixelSize);
    _sheetBox = QRect(QPoint(0, 0), _pixelSize);
    _uncapturedChange = _sheetBox;
    _frame = QImage();
    _needsDisplay = true;
    return _framebuffer && _linePass;
}

void SheetRenderer::setPitch(float degrees) {
    _needsDisplay |= degrees != _pitch;
    _pitch = degrees;
}

void SheetRenderer::setYaw(float degrees) {
    _needsDisplay |= degrees != _yaw;
    _yaw = degrees;
}

void SheetRenderer::setCreasePoint(float x, int index) {
    _needsDisplay |= _geometry.setCreasePoint(float(x / pointsPerWorldUnit), index);
}

void SheetRenderer::setCoordinates(QPointF point, int index) {
    _needsDisplay |= _geometry.setCoordinates(point / pointsPerWorldUnit, index);
}

void SheetRenderer::setFold(const FoldModel& fold) {
    _needsDisplay |= _geometry.setLines(creaseLineCount, SheetGeometry::Axis::vertical);
    _needsDisplay |= _geometry.clearSurface();
    _classicLines = true;
    for (int i = 0; i < creaseLineCount; ++i) {
        setCreasePoint(fold.creases()[i], i);
        setCoordinates(QPointF(fold.profile()[i].x, fold.profile()[i].y), i);
    }
}

void SheetRenderer::setFold(const PanelFoldModel& fold) {
    _needsDisplay |= _geometry.setLines(fold.lineCount(), fold.layout().axis());
    _needsDisplay |= _geometry.clearSurface();
    _classicLines = false;
    for (int i = 0; i < fold.lineCount(); ++i) {
        setCreasePoint(float(fold.creases()[i]), i);
        setCoordinates(QPointF(fold.profile()[i].x, fold.profile()[i].y), i);
    }
}

void SheetRenderer::setFold(const SheetFold& fold) {
    if (const FoldModel* classic = fold.classic())
        return setFold(*classic);
    if (const PanelFoldModel* panels = fold.panels())
        return setFold(*panels);
    const std::vector<double> creases = fold.creases();
    const std::vector<FoldPoint> profile = fold.profile();
    _needsDisplay |= _geometry.setLines(int(creases.size()), fold.layout().axis());
    _classicLines = false;
    for (std::size_t i = 0; i < creases.size(); ++i) {
        setCreasePoint(float(creases[i]), int(i));
        setCoordinates(QPointF(profile[i].x, profile[i].y), int(i));
    }
    setSurface(fold.surface(), fold.hinged()->thickness());
}

void SheetRenderer::setSurface(const std::vector<HingedFold::SurfacePoint>& surface,
                               double thickness) {
    std::vector<SheetGeometry::SurfacePoint> world;
    world.reserve(surface.size());
    for (const HingedFold::SurfacePoint& point : surface)
        world.push_back({point.paper / pointsPerWorldUnit,
                         {point.at.x / pointsPerWorldUnit, point.at.y / pointsPerWorldUnit}});
    _needsDisplay |= _geometry.setSurface(std::move(world), thickness / pointsPerWorldUnit);
}

void SheetRenderer::setShading(float amount) {
    const float shading = amount > 0.0f ? std::min(amount, 1.0f) : 0.0f; // NaN gives 0
    _needsDisplay |= shading != _shading;
    _shading = shading;
}

void SheetRenderer::setImageSize(QSizeF size) {
    _needsDisplay = true;
    _geometry.setImageSize(size / pointsPerWorldUnit);
    // At this distance the plane Z = 0 shows about one view point per image point in a view 1.25
    // times as tall as the image.
    _eyeZ = float(size.height() * 1.25 / 1.4 * 7.5 / 1000);
}

bool SheetRenderer::setImage(const QImage& image) {
    if (!_context->makeCurrent()) {
        qCWarning(renderLog) << "The renderer's context could not be made current";
        return false;
    }
    QImage texels = Texture::texels(image, textureSizeFor(image));
    std::unique_ptr<Texture> texture = Texture::fromTexels(grainedTexels(texels, false));
    if (!texture)
        return false;
    _texture = std::move(texture);
    _pictureTexels = std::move(texels);
    _blankPaper.reset();
    _needsDisplay = true;
    return true;
}

// Only the old and the new place of the sheet can differ from the last capture, so only they are
// read back. The clear stays whole: Mesa's software renderer clears whole tiles, while a
// scissored clear draws a quad through the box and costs more than it saves.
void SheetRenderer::display() {
    if (!_texture || !makeCurrent())
        return;
    setUpCamera();
    const QRect sheet = sheetBox();
    const QRect pass = sheet | _sheetBox;
    // The lines are all opaque black: which one hides which cannot change what the search sees,
    // so they need neither the depth test nor a depth buffer.
    glDisable(GL_DEPTH_TEST);
    searchLineEndPoint(pass);
    _framebuffer->bind();
    glEnable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawSheet(*_texture);
    _sheetBox = sheet;
    _uncapturedChange |= pass;
    _needsDisplay = false;
}

QImage SheetRenderer::captureFrame() {
    if (!makeCurrent()) {
        QImage image(_pixelSize, QImage::Format_RGBA8888);
        image.fill(Qt::transparent);
        image.setDevicePixelRatio(_scale);
        return image;
    }
    _framebuffer->read(_frame, _uncapturedChange);
    _lastCaptureChange = std::exchange(_uncapturedChange, QRect());
    _frame.setDevicePixelRatio(_scale);
    return _frame;
}

QPointF SheetRenderer::endPoint(int line, LineEnd end) const {
    return _endPoints[line][static_cast<int>(end)];
}

// The aspect comes from the whole-point size, so every backing scale shows the same view.
void SheetRenderer::setUpCamera() {
    glViewport(0, 0, _pixelSize.width(), _pixelSize.height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfViewDegrees, double(_frameSize.width()) / double(_frameSize.height()),
                   nearPlane, farPlane);
    setUpModelView();
}

// Unpitched, the sheet stands in its own frame: the floor lies square to it there.
void SheetRenderer::setUpModelView(bool pitched) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Other layouts' windows are taller where their folds need it; the eye stands back with them.
    // A turned classic is shown in a window sized by those rules too.
    const double eyeZ = _classicLines && _yaw == 0.0f
                            ? _eyeZ
                            : FoldWindowSize::eyeDistance(_frameSize.height()) / pointsPerWorldUnit;
    gluLookAt(0, 0, eyeZ, 0, 0, 0, 0, 1, 0);
    const bool vertical = _geometry.axis() == SheetGeometry::Axis::vertical;
    if (pitched && vertical)
        glRotatef(_pitch, 1, 0, 0);
    else if (pitched)
        glRotatef(_pitch, 0, 1, 0);
    // Even a turn by 0 could round the matrix differently: untouched, the frames stay as they were.
    if (_yaw != 0.0f)
        glRotatef(_yaw, vertical ? 0 : 1, vertical ? 1 : 0, 0);
}

// Framebuffer pixels that the sheet and the line pass can cover, with the camera set up: the lines
// lie one point right of the creases and reach one point past the sheet's edge.
QRect SheetRenderer::sheetBox() const {
    const SheetGeometry& g = _geometry;
    const float start = g.acrossStart();
    const float end = g.acrossEnd(onePoint);
    std::vector<QVector3D> corners;
    corners.reserve(4 * g.lineCount() + 2 * g.pointCount());
    for (int i = 0; i < g.lineCount(); ++i) {
        const float along = g.along(i, 0.0);
        const float z = g.depth(i);
        corners.push_back(g.at(along, start, z));
        corners.push_back(g.at(along, end, z));
        corners.push_back(g.at(along + float(onePoint), start, z));
        corners.push_back(g.at(along + float(onePoint), end, z));
    }
    if (g.hasSurface()) {
        for (int i = 0; i < g.pointCount(); ++i) {
            corners.push_back(g.at(g.pointAlong(i), start, g.pointDepth(i)));
            corners.push_back(g.at(g.pointAlong(i), end, g.pointDepth(i)));
        }
    }
    ProjectedBox::Matrix modelView;
    ProjectedBox::Matrix projection;
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView.data());
    glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
    return ProjectedBox::of(corners, modelView, projection, _pixelSize, 2);
}

// Draws the crease lines alone and traces them in the read-back pixels, at device pixels; the end
// points are kept in points.
void SheetRenderer::searchLineEndPoint(QRect pass) {
    const SheetGeometry& g = _geometry;
    const float start = g.acrossStart();
    const float end = g.acrossEnd(onePoint);
    std::array<QVector3D, 2 * mostCreaseLines> lineEnds;
    for (int i = 0; i < g.lineCount(); ++i) {
        const float along = g.along(i, onePoint);
        const float z = g.depth(i);
        lineEnds[2 * i] = g.at(along, start, z);
        lineEnds[2 * i + 1] = g.at(along, end, z);
    }
    const std::span<const QVector3D> drawnEnds = std::span(lineEnds).first(2 * g.lineCount());
    // A turned sheet's lines lean as neither search expects; projected, their ends are exact.
    if ((g.hasSurface() || _yaw != 0.0f) && projectLineEndPoints(drawnEnds))
        return;
    const QImage& lineFrame = _linePass->draw(drawnEnds, pass);
    _endPoints = _classicLines ? searchLineEndPoints(lineFrame, _pitch)
                               : searchLineEndPoints(lineFrame, g.lineCount(), g.axis());
    for (auto& ends : _endPoints)
        for (QPointF& end : ends)
            end /= _scale;
}

// In the search's terms: a pixel's frame point is its column and its row counted from the top
// (the captured rows are the framebuffer's), the top end first, or the left end for horizontal
// creases.
bool SheetRenderer::projectLineEndPoints(std::span<const QVector3D> lineEnds) {
    ProjectedBox::Matrix modelView;
    ProjectedBox::Matrix projection;
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView.data());
    glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
    const bool vertical = _geometry.axis() == SheetGeometry::Axis::vertical;
    LineEndPoints endPoints{};
    for (std::size_t line = 0; line < lineEnds.size() / 2; ++line) {
        std::array<QPointF, 2>& ends = endPoints[line];
        for (std::size_t end = 0; end < 2; ++end) {
            const std::optional<QPointF> place = ProjectedBox::inViewport(
                lineEnds[2 * line + end], modelView, projection, _pixelSize);
            if (!place)
                return false;
            ends[end] = QPointF(place->x() - 0.5, _pixelSize.height() - 0.5 - place->y()) / _scale;
        }
        if (vertical ? ends[0].y() < ends[1].y() : ends[0].x() > ends[1].x())
            std::swap(ends[0], ends[1]);
    }
    _endPoints = endPoints;
    return true;
}
