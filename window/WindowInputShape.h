// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPolygonF>

class QWindow;

// Which part of a top-level window takes the mouse; elsewhere clicks reach the windows behind it.
// Painting is not clipped: on X11 this is the window's input shape (the X Shape extension's input
// kind), on Wayland the surface's input region.
namespace WindowInputShape {

// The union of the polygons (window coordinates in points, each filled with the winding rule);
// no polygons give the whole window back the mouse. False where the platform has no such region
// (or the window no native handle yet), with the whole window still taking the mouse.
bool setInputArea(QWindow* window, const QList<QPolygonF>& polygons);

} // namespace WindowInputShape
