// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "RenderTestSupport.h"

#include "fold/PanelFoldModel.h"

#include <QMatrix4x4>
#include <QPainter>
#include <QVector3D>

#include <GL/glu.h>

#include <cmath>

namespace {

constexpr double pointsPerWorldUnit = 200.0;

// Apex over the base from a to b, with slope length ta at a and tb at b.
QPointF apex(QPointF a, QPointF b, double ta, double tb, int dir) {
    const double base = b.x() - a.x();
    const double along = (base * base + ta * ta - tb * tb) / (2 * base);
    return {a.x() + along, dir * std::sqrt(ta * ta - along * along)};
}

std::array<double, 16> toDoubles(const QMatrix4x4& matrix) {
    std::array<double, 16> values{};
    for (int i = 0; i < 16; ++i)
        values[i] = matrix.constData()[i];
    return values;
}

} // namespace

ClassicFold flatFold(QSizeF imageSize) {
    const double shares[7] = {0, 0.15, 0.3, 0.5, 0.7, 0.85, 1};
    ClassicFold fold{imageSize, {}, {}};
    for (int i = 0; i < 7; ++i) {
        fold.creasePoint[i] = float(imageSize.width() * shares[i]);
        fold.coordinates[i] = QPointF(fold.creasePoint[i], 0);
    }
    return fold;
}

ClassicFold tentFold(QSizeF imageSize, double leftCompression, int leftDirection,
                     double rightCompression, int rightDirection) {
    ClassicFold fold = flatFold(imageSize);
    const std::array<float, 7>& t = fold.creasePoint;
    std::array<QPointF, 7>& v = fold.coordinates;
    v[0].setX(leftCompression);
    v[1].setX(t[1] + leftCompression);
    v[5].setX(t[5] - rightCompression);
    v[6].setX(t[6] - rightCompression);
    v[2] = apex(v[1], v[3], t[2] - t[1], t[3] - t[2], leftDirection);
    v[4] = apex(v[3], v[5], t[4] - t[3], t[5] - t[4], rightDirection);
    return fold;
}

void pushFold(SheetRenderer& view, const ClassicFold& fold) {
    for (int i = 0; i < 7; ++i) {
        view.setCreasePoint(fold.creasePoint[i], i);
        view.setCoordinates(fold.coordinates[i], i);
    }
    view.setImageSize(fold.imageSize);
}

QSizeF windowSize(QSizeF imageSize) {
    return {imageSize.width() * 1.496662974357605, imageSize.height() * 1.25};
}

QImage quadrantImage(QSize size, QImage::Format format) {
    QImage image(size, format);
    const int halfWidth = size.width() / 2;
    const int halfHeight = size.height() / 2;
    QPainter painter(&image);
    painter.fillRect(0, 0, halfWidth, halfHeight, QColor::fromRgba(topLeftColour));
    painter.fillRect(halfWidth, 0, size.width() - halfWidth, halfHeight,
                     QColor::fromRgba(topRightColour));
    painter.fillRect(0, halfHeight, halfWidth, size.height() - halfHeight,
                     QColor::fromRgba(bottomLeftColour));
    painter.fillRect(halfWidth, halfHeight, size.width() - halfWidth, size.height() - halfHeight,
                     QColor::fromRgba(bottomRightColour));
    return image;
}

QColor framePixel(const QImage& frame, int x, int y) {
    return frame.pixelColor(x, frame.height() - 1 - y);
}

CoveredExtent coveredExtent(const QImage& frame) {
    CoveredExtent extent{frame.width(), -1, frame.height(), -1};
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            if (framePixel(frame, x, y).alpha() == 0)
                continue;
            extent.minX = std::min(extent.minX, x);
            extent.maxX = std::max(extent.maxX, x);
            extent.minY = std::min(extent.minY, y);
            extent.maxY = std::max(extent.maxY, y);
        }
    }
    return extent;
}

SheetProjection::SheetProjection(QSize frameSize, const ClassicFold& fold, float pitch)
    : _frameSize(frameSize), _fold(fold) {
    QMatrix4x4 projection;
    projection.perspective(50.0f, float(frameSize.width()) / float(frameSize.height()), 0.1f,
                           100.0f);
    // The camera distance that shows about one point per image point.
    const float eyeZ = float(fold.imageSize.height() * 1.25 / 1.4 * 7.5 / 1000);
    QMatrix4x4 modelView;
    modelView.lookAt(QVector3D(0, 0, eyeZ), QVector3D(0, 0, 0), QVector3D(0, 1, 0));
    modelView.rotate(pitch, 1, 0, 0);
    _modelView = toDoubles(modelView);
    _projection = toDoubles(projection);
}

QPointF SheetProjection::creaseEnd(int line, bool top) const {
    const QPointF vertex = _fold.coordinates[line] / pointsPerWorldUnit;
    const QSizeF sheet = _fold.imageSize / pointsPerWorldUnit;
    return project(vertex.x() - sheet.width() / 2, (top ? -0.5 : 0.5) * sheet.height(), vertex.y());
}

QPointF SheetProjection::project(double x, double y, double z) const {
    const GLint viewport[4] = {0, 0, _frameSize.width(), _frameSize.height()};
    double windowX = 0, windowY = 0, windowZ = 0;
    gluProject(x, y, z, _modelView.data(), _projection.data(), viewport, &windowX, &windowY,
               &windowZ);
    // Frame y runs down the framebuffer: the captured frame is the framebuffer mirrored.
    return {windowX, _frameSize.height() - windowY};
}

std::unique_ptr<SheetRenderer> flatAccordionView(QSizeF sheetSize, FoldLayout::Axis axis) {
    const PanelFoldModel fold(FoldLayout::accordion(5, axis),
                              {sheetSize.width(), sheetSize.height()});
    std::unique_ptr<SheetRenderer> view = SheetRenderer::create(windowSize(sheetSize), 1.0);
    if (view) {
        view->setImageSize(sheetSize);
        view->setFold(fold);
    }
    return view;
}

void GLContextTest::SetUp() {
    QString failure;
    _context = OffscreenContext::create(OffscreenContext::Platform::WindowSystem, &failure);
    ASSERT_TRUE(_context) << failure.toStdString();
    ASSERT_TRUE(_context->makeCurrent());
}
