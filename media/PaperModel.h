// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>

#include <cstdint>
#include <vector>

// A folded sheet as a 3D model hands it out: metres, +Y up, the front facing +Z; flat shading,
// so every facet has vertices of its own. Texture coordinates run from the picture's top left.
struct PaperModel {
    struct Surface {
        std::vector<float> positions;          // x, y, z a vertex
        std::vector<float> normals;            // unit, x, y, z a vertex
        std::vector<float> textureCoordinates; // u, v a vertex
        std::vector<std::uint32_t> indices;    // three a triangle, counter-clockwise seen outside
        // An animation's frames as morph targets: each frame's positions and normals less the
        // ones above. Empty for a still.
        std::vector<std::vector<float>> framePositions;
        std::vector<std::vector<float>> frameNormals;

        int vertexCount() const { return int(positions.size() / 3); }
    };

    // When an animation shows which frame.
    struct Key {
        float seconds = 0.0f;
        int frame = 0;
    };

    Surface front;
    Surface back; // the back face and the cut edges
    QImage frontPicture;
    QImage backPicture; // none: plain paper of backColour
    QColor backColour = Qt::white;
    // The view's tilt in degrees and the axis it turns about, for the camera.
    float pitch = 0.0f;
    bool tiltsAboutX = true;
    std::vector<Key> keys; // none: a still
};
