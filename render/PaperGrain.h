// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSizeF>

// The paper's grain, baked into a texture's texels when they are uploaded, so that drawing it costs
// nothing per pixel: a fixed noise laid on the flat paper, the same for every renderer, tile and
// export, whatever the texture's size.
class PaperGrain {
public:
    // Where a texture lies on the flat paper: the paper's length (along the creases' axis) and
    // breadth in world units, whether the texture's s coordinate runs along the paper (vertical
    // creases) or across it, and whether the texture is seen mirrored along s or t (a back
    // picture).
    struct Placement {
        QSizeF paper;
        bool alongS = true;
        bool mirrorS = false;
        bool mirrorT = false;
        bool operator==(const Placement&) const = default;
    };

    // Multiplies the colour of each texel of an RGB888 or RGBA8888 image by 1 + amount x (noise -
    // 0.5), the noise taken where the texel's centre lies on the paper; amount runs 0 to 1.
    static void bake(QImage& texels, float amount, const Placement& placement);

    // One cell of the noise on the paper, in world units (1.5 image points).
    static constexpr float cell = 0.0075f;
};
