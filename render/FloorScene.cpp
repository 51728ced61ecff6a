// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/FloorScene.h"

#include <QtMath>

QVector3D FloorScene::lightDirection() const {
    const double azimuth = qDegreesToRadians(lightAzimuth);
    const double elevation = qDegreesToRadians(lightElevation);
    return QVector3D(float(std::cos(elevation) * std::sin(azimuth)), float(-std::sin(elevation)),
                     float(std::cos(elevation) * std::cos(azimuth)));
}
