// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QSizeF>
#include <QVector3D>

// What an export stands on: a floor under the picture's bottom edge, square to the sheet before
// its pitch, coloured or tiled with a picture, and the light that shades the sheet and casts its
// shadow on the floor. Exports only: the window keeps its transparent look.
struct FloorScene {
    // The shading light's direction, (-1, -1, 2) normalised in eye space, as azimuth and
    // elevation: from the upper left, in front.
    static constexpr double defaultAzimuth = -26.565051177;
    static constexpr double defaultElevation = 24.094842552;
    static constexpr double defaultTileMillimetres = 300.0;

    bool shown = false;
    QColor colour = QColor(0xd8, 0xd2, 0xc8);
    QImage picture; // tiled over the floor instead of the colour when set
    double tileWidthPoints = defaultTileMillimetres * 72.0 / 25.4;
    // The printed sheet's size, which gives the tile its size on the sheet's scale; empty: the
    // picture's own points.
    QSizeF printedSheetPoints;
    // Degrees, as the viewer sees it: azimuth 0 lies in front of the sheet, positive to the
    // viewer's right; elevation 0 lies level with the eye, 90 overhead.
    double lightAzimuth = defaultAzimuth;
    double lightElevation = defaultElevation;

    // The unit direction toward the light in eye space, where the picture's top is -Y.
    QVector3D lightDirection() const;
};
