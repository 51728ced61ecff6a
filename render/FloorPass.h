// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "render/FloorScene.h"
#include "render/FloorShadow.h"

#include <memory>

class SheetGeometry;
class Texture;

// Draws the floor an export's sheet stands on, before the sheet: the plane in its colour or
// picture, fading out toward its edge, then the sheet's shadow darkening it. The floor and its
// shadow are worked out in the frame the sheet stands in, unpitched, and drawn through the full
// model-view matrix, so each tile's frustum cuts its own share of them and tiled exports meet
// seamlessly. Made, drawn and destroyed while its context is current.
class FloorPass {
public:
    // standing: the model-view matrix without the pitch, whose frame stands the sheet upright;
    // modelView: with it. Null when a texture cannot be made.
    static std::unique_ptr<FloorPass> create(const FloorScene& scene, const SheetGeometry& geometry,
                                             const ProjectedBox::Matrix& standing,
                                             const ProjectedBox::Matrix& modelView);
    ~FloorPass();

    FloorPass(const FloorPass&) = delete;
    FloorPass& operator=(const FloorPass&) = delete;

    // Leaves the model-view matrix on the floor's frame and every other GL state as it was.
    // Draws nothing when the eye is under the floor, which would hide the sheet from below.
    void draw();

private:
    FloorPass(const FloorScene& scene, FloorShadow shadow, double tileWidth,
              const ProjectedBox::Matrix& floorToEye);
    bool eyeUnderFloor() const;
    void drawPlane() const;
    void drawShadow() const;
    // 1 near the sheet, 0 at the floor's edge.
    double fadeAt(double x, double z) const;

    QColor _colour;
    FloorShadow _shadow;
    ProjectedBox::Matrix _floorToEye;
    double _tileWidth; // eye-space units
    double _radius;    // the floor's half size
    std::unique_ptr<Texture> _picture;
    std::unique_ptr<Texture> _darkness;
};
