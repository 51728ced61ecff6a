// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "render/PaperLook.h"

#include <QString>
#include <QVector3D>

#include <memory>

// The GLSL program that draws the sheet when any paper effect is on; the grain comes baked into
// the textures (PaperGrain). Made, used and destroyed while its context is current.
//
// What it reads of each vertex: texture unit 0's coordinate (the picture), the colour (the facet's
// shading), the normal (the facet's, in eye space, turned toward the viewer), texture unit 1's
// first coordinate (the point's place along the flat paper, world units) and texture unit 2's
// (the positions along the paper of the facet's two creases and how far each is bent, positive
// for a mountain). Flat shading must be on: the colours carry what is constant over a facet.
class PaperShader {
public:
    // Null with the compiler's or linker's log in failure when the GL cannot make the program.
    static std::unique_ptr<PaperShader> create(QString* failure = nullptr);
    ~PaperShader();

    PaperShader(const PaperShader&) = delete;
    PaperShader& operator=(const PaperShader&) = delete;

    // Uses the program with look's settings and light (the unit direction toward it, eye space).
    void begin(const PaperLook& look, QVector3D light);
    // What the facets drawn next show of the texture on unit 0: its texels times tint (which may
    // exceed 1), the texture mirrored along s or t on the way (a back picture).
    void setSide(QVector3D tint, bool mirrorS, bool mirrorT);
    // Back to fixed-function drawing.
    void end();

    // Bands along the creases are this wide on the paper, in world units (200 image points).
    static constexpr float creaseBandWidth = 0.04f;

private:
    PaperShader() = default;
    QString build();

    unsigned int _program = 0;
};
