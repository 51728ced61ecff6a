// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>
#include <QTransform>

// Frame coordinates (the renderer's frame, the end points, the hit areas and the overlay) have
// their origin at the bottom-left corner and y upward; Qt's widget and screen positions have y
// downward. Every conversion between the two goes through these functions.
namespace FrameCoordinates {

// A position in a widget of the given height, as a point of the frame it shows.
inline QPointF fromWidget(QPointF widgetPoint, double height) {
    return {widgetPoint.x(), height - widgetPoint.y()};
}

// A global screen position with y upward, so that drag displacements are y-up as well.
inline QPointF fromScreen(QPointF globalPoint) {
    return {globalPoint.x(), -globalPoint.y()};
}

// Maps frame coordinates onto an image or widget of the given height, for painting.
inline QTransform toWidgetTransform(double height) {
    return QTransform(1, 0, 0, -1, 0, height);
}

} // namespace FrameCoordinates
