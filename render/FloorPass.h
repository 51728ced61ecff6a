// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "render/FloorScene.h"
#include "render/FloorShadow.h"

#include <memory>

class SheetGeometry;
class Texture;

// Draws the floor an export's sheet stands on, before the sheet: the plane in its colour or
// picture, fading out toward its edge, then the sheet's shadow darkening it. The floor lies in
// eye space, so each tile's frustum cuts its own share of it and tiled exports meet seamlessly.
// Made, drawn and destroyed while its context is current.
class FloorPass {
public:
    // The sheet as the current model-view matrix places it. Null when a texture cannot be made.
    static std::unique_ptr<FloorPass> create(const FloorScene& scene,
                                             const SheetGeometry& geometry);
    ~FloorPass();

    FloorPass(const FloorPass&) = delete;
    FloorPass& operator=(const FloorPass&) = delete;

    // Leaves the model-view matrix at identity and every other GL state as it was.
    void draw();

private:
    FloorPass(const FloorScene& scene, FloorShadow shadow, double tileWidth);
    void drawPlane() const;
    void drawShadow() const;
    // 1 near the sheet, 0 at the floor's edge.
    double fadeAt(double x, double z) const;

    QColor _colour;
    FloorShadow _shadow;
    double _tileWidth; // eye-space units
    double _radius;    // the floor's half size
    std::unique_ptr<Texture> _picture;
    std::unique_ptr<Texture> _darkness;
};
