// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"
#include "render/OffscreenContext.h"
#include "render/SheetRenderer.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QSize>
#include <QSizeF>

#include <array>
#include <memory>

// A fold state as the document pushes it into the renderer, in image points.
struct ClassicFold {
    QSizeF imageSize;
    std::array<float, 7> creasePoint{};
    std::array<QPointF, 7> coordinates{};
};

// The document's initial flat layout.
ClassicFold flatFold(QSizeF imageSize);

// Both tents folded by the given compressions; dir +1 raises a peak toward the viewer, -1 sinks
// it. Every segment keeps its length on the flat sheet.
ClassicFold tentFold(QSizeF imageSize, double leftCompression, int leftDirection,
                     double rightCompression, int rightDirection);

void pushFold(SheetRenderer& view, const ClassicFold& fold);

// A renderer in the window of sheetSize showing a flat accordion of five panels on axis, with no
// picture yet; null when none can be made.
std::unique_ptr<SheetRenderer> flatAccordionView(QSizeF sheetSize, FoldLayout::Axis axis);

// Tests that make GL calls of their own: a context, current for the whole test.
class GLContextTest : public ::testing::Test {
protected:
    void SetUp() override;

private:
    std::unique_ptr<OffscreenContext> _context;
};

// The document window's size for a sheet size.
QSizeF windowSize(QSizeF imageSize);

// Four flat colours, one per quadrant, so orientation and texture coverage can be read back.
QImage quadrantImage(QSize size, QImage::Format format);
constexpr QRgb topLeftColour = 0xffff0000;
constexpr QRgb topRightColour = 0xff00ff00;
constexpr QRgb bottomLeftColour = 0xff0000ff;
constexpr QRgb bottomRightColour = 0xffffff00;

// Pixel of a captured frame at frame coordinates (origin bottom-left, y up).
QColor framePixel(const QImage& frame, int x, int y);

// Where the frame is covered (alpha above 0), in frame coordinates.
struct CoveredExtent {
    int minX = 0, maxX = -1, minY = 0, maxY = -1;
};
CoveredExtent coveredExtent(const QImage& frame);

// Projects points of the folded sheet into frame coordinates with matrices built independently
// of the renderer.
class SheetProjection {
public:
    SheetProjection(QSize frameSize, const ClassicFold& fold, float pitch);
    // End of crease edge i: the top end in the frame is the sheet's -Y edge in the world.
    QPointF creaseEnd(int line, bool top) const;
    QPointF project(double x, double y, double z) const;

private:
    QSize _frameSize;
    ClassicFold _fold;
    std::array<double, 16> _modelView{};
    std::array<double, 16> _projection{};
};
