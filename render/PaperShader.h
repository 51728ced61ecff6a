// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "render/PaperLook.h"

#include <QString>
#include <QVector3D>

#include <memory>

// The GLSL program that draws the sheet when any paper effect is on, with the grain's noise
// texture. Made, used and destroyed while its context is current.
//
// What it reads of each vertex: texture unit 0's coordinate (the picture), the colour (the facet's
// shading), the normal (the facet's, in eye space, turned toward the viewer), texture unit 1's
// coordinate (the point on the flat paper, world units) and texture unit 2's (the positions along
// the paper of the facet's two creases and how far each is bent, positive for a mountain).
class PaperShader {
public:
    // Null with the compiler's or linker's log in failure when the GL cannot make the program.
    static std::unique_ptr<PaperShader> create(QString* failure = nullptr);
    ~PaperShader();

    PaperShader(const PaperShader&) = delete;
    PaperShader& operator=(const PaperShader&) = delete;

    // Uses the program with look's settings and light (the unit direction toward it, eye space);
    // the picture is bound on unit 0, the back picture, if any, on unit 1 by the caller.
    // mirrorAcross: the back picture is mirrored across the sheet's breadth (horizontal creases)
    // rather than its length.
    void begin(const PaperLook& look, QVector3D light, bool hasBackPicture, bool mirrorAcross);
    // Back to fixed-function drawing, texture unit 0 active.
    void end();

    // Bands along the creases are this wide on the paper, in world units (200 image points).
    static constexpr float creaseBandWidth = 0.04f;
    // One texel of the grain's noise on the paper, in world units (1.5 image points).
    static constexpr float grainCell = 0.0075f;

private:
    PaperShader() = default;
    static constexpr int backModes = 3; // same, paper, picture
    QString build(int back);
    void makeNoise();

    unsigned int _programs[backModes] = {};
    unsigned int _noise = 0;
};
