// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/FloorPass.h"

#include "render/SheetGeometry.h"
#include "render/Texture.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <QVector2D>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {

// The floor reaches this many sheet extents from where the sheet stands, and is opaque for the
// first part of the way: far enough that the frame never shows where it ends.
constexpr double floorReach = 4.0;
constexpr double opaqueReach = 0.35;
// Cells along each side: the fade is drawn through the vertices' alpha.
constexpr int gridCells = 48;
// A tiled picture seen at a grazing angle needs its smaller levels.
constexpr int largestFloorTexture = 2048;
// The sheet's world units are 200 image points.
constexpr double pointsPerWorldUnit = 200.0;

// A light grazing the floor would cast a shadow without end.
constexpr double lowestLightDegrees = 5.0;

// Column-major, as GL keeps them.
ProjectedBox::Matrix product(const ProjectedBox::Matrix& a, const ProjectedBox::Matrix& b) {
    ProjectedBox::Matrix result{};
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            for (int k = 0; k < 4; ++k)
                result[column * 4 + row] += a[k * 4 + row] * b[column * 4 + k];
        }
    }
    return result;
}

// The model-view matrices only turn and move, so the inverse is the transposed turn.
ProjectedBox::Matrix rigidInverse(const ProjectedBox::Matrix& m) {
    ProjectedBox::Matrix result{};
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row)
            result[column * 4 + row] = m[row * 4 + column];
        result[12 + column] =
            -(m[column * 4] * m[12] + m[column * 4 + 1] * m[13] + m[column * 4 + 2] * m[14]);
    }
    result[15] = 1.0;
    return result;
}

// The eye-space light in the floor's frame, kept a little above the floor.
QVector3D lightOverFloor(const ProjectedBox::Matrix& floorToEye, QVector3D eyeLight) {
    QVector3D light;
    for (int axis = 0; axis < 3; ++axis)
        light[axis] =
            float(floorToEye[axis * 4] * eyeLight.x() + floorToEye[axis * 4 + 1] * eyeLight.y() +
                  floorToEye[axis * 4 + 2] * eyeLight.z());
    const float lowest = float(std::sin(qDegreesToRadians(lowestLightDegrees)));
    if (-light.y() >= lowest)
        return light;
    const QVector2D across = QVector2D(light.x(), light.z()).normalized() *
                             float(std::sqrt(1.0 - double(lowest) * lowest));
    return QVector3D(across.x(), -lowest, across.y());
}

double tileWidthOf(const FloorScene& scene, const SheetGeometry& geometry) {
    const QSizeF printed = scene.printedSheetPoints;
    if (printed.isEmpty())
        return scene.tileWidthPoints / pointsPerWorldUnit;
    return scene.tileWidthPoints * geometry.imageSize().width() / printed.width();
}

} // namespace

std::unique_ptr<FloorPass> FloorPass::create(const FloorScene& scene, const SheetGeometry& geometry,
                                             const ProjectedBox::Matrix& standing,
                                             const ProjectedBox::Matrix& modelView) {
    const ProjectedBox::Matrix floorToEye = product(modelView, rigidInverse(standing));
    const std::vector<FloorShadow::Facet> facets = FloorShadow::facetsOf(geometry, standing);
    std::unique_ptr<FloorPass> pass(new FloorPass(
        scene, FloorShadow(facets, lightOverFloor(floorToEye, scene.lightDirection())),
        tileWidthOf(scene, geometry), floorToEye));
    if (!scene.picture.isNull()) {
        const QSize size =
            scene.picture.size().boundedTo(QSize(largestFloorTexture, largestFloorTexture));
        pass->_picture = Texture::create(scene.picture, size);
        if (!pass->_picture)
            return nullptr;
        pass->_picture->bind();
        glGenerateMipmap(GL_TEXTURE_2D);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    }
    if (!pass->_shadow.darkness().isNull()) {
        pass->_darkness =
            Texture::fromTexels(pass->_shadow.darkness().convertToFormat(QImage::Format_RGBA8888));
        if (!pass->_darkness)
            return nullptr;
        pass->_darkness->bind();
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    return pass;
}

FloorPass::FloorPass(const FloorScene& scene, FloorShadow shadow, double tileWidth,
                     const ProjectedBox::Matrix& floorToEye)
    : _colour(scene.picture.isNull() ? scene.colour : QColor(Qt::white)),
      _shadow(std::move(shadow)), _floorToEye(floorToEye), _tileWidth(tileWidth),
      _radius(floorReach * _shadow.sheetExtent()) {}

FloorPass::~FloorPass() = default;

void FloorPass::draw() {
    if (eyeUnderFloor())
        return;
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_LIGHTING_BIT |
                 GL_TEXTURE_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(_floorToEye.data());
    glShadeModel(GL_SMOOTH);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    drawPlane();
    drawShadow();
    glPopAttrib();
}

// The floor's frame only turns and moves from eye space, so the eye lies at minus the
// translation turned back.
bool FloorPass::eyeUnderFloor() const {
    const ProjectedBox::Matrix& m = _floorToEye;
    const double eyeHeight = -(m[4] * m[12] + m[5] * m[13] + m[6] * m[14]);
    return eyeHeight >= _shadow.floorLevel();
}

double FloorPass::fadeAt(double x, double z) const {
    const QPointF centre = _shadow.footprintCentre();
    const double reach = std::hypot(x - centre.x(), z - centre.y()) / _radius;
    const double t = std::clamp((reach - opaqueReach) / (1.0 - opaqueReach), 0.0, 1.0);
    return 1.0 - t * t * (3.0 - 2.0 * t);
}

// The plane is written as it is, its alpha the fade: nothing lies behind it yet.
void FloorPass::drawPlane() const {
    if (_picture) {
        _picture->bind();
        glEnable(GL_TEXTURE_2D);
    }
    const QPointF centre = _shadow.footprintCentre();
    const double cell = 2 * _radius / gridCells;
    const float y = _shadow.floorLevel();
    glBegin(GL_QUADS);
    for (int row = 0; row < gridCells; ++row) {
        for (int column = 0; column < gridCells; ++column) {
            for (const auto& [dx, dz] : {std::pair{0, 0}, {0, 1}, {1, 1}, {1, 0}}) {
                const double x = centre.x() - _radius + (column + dx) * cell;
                const double z = centre.y() - _radius + (row + dz) * cell;
                glColor4d(_colour.redF(), _colour.greenF(), _colour.blueF(), fadeAt(x, z));
                glTexCoord2d(x / _tileWidth, z / _tileWidth);
                glVertex3d(x, y, z);
            }
        }
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

// Darkens the colour and keeps the alpha. The floor is all that is drawn yet, so the depth test
// has nothing to keep the shadow off.
void FloorPass::drawShadow() const {
    if (!_darkness)
        return;
    _darkness->bind();
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_ZERO, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
    const QRectF area = _shadow.area();
    const float y = _shadow.floorLevel();
    glColor4d(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2d(0, 0);
    glVertex3d(area.left(), y, area.top());
    glTexCoord2d(0, 1);
    glVertex3d(area.left(), y, area.bottom());
    glTexCoord2d(1, 1);
    glVertex3d(area.right(), y, area.bottom());
    glTexCoord2d(1, 0);
    glVertex3d(area.right(), y, area.top());
    glEnd();
}
