// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/WindowInputShape.h"

#include "window/WindowLog.h"

#include <QGuiApplication>
#include <QRegion>
#include <QTransform>
#include <QWindow>

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <vector>

namespace {

QRegion regionAt(const QList<QPolygonF>& polygons, double pixelsPerPoint) {
    const QTransform toPixels = QTransform::fromScale(pixelsPerPoint, pixelsPerPoint);
    QRegion region;
    for (const QPolygonF& polygon : polygons)
        region += QRegion(toPixels.map(polygon).toPolygon(), Qt::WindingFill);
    return region;
}

bool hasShapeExtension(xcb_connection_t* connection) {
    const xcb_query_extension_reply_t* shape = xcb_get_extension_data(connection, &xcb_shape_id);
    return shape && shape->present;
}

// Only the input kind: the bounding shape would also clip what the window paints, and the shadow.
bool setX11InputShape(QWindow* window, const QList<QPolygonF>& polygons) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection || !hasShapeExtension(connection)) {
        qCWarning(windowLog) << "No X Shape extension: the whole window takes the mouse";
        return false;
    }
    const auto id = xcb_window_t(window->winId());
    if (polygons.isEmpty()) {
        xcb_shape_mask(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, id, 0, 0, XCB_NONE);
        xcb_flush(connection);
        return true;
    }
    // X windows are sized in device pixels.
    std::vector<xcb_rectangle_t> rectangles;
    for (const QRect& r : regionAt(polygons, window->devicePixelRatio()))
        rectangles.push_back(
            {int16_t(r.x()), int16_t(r.y()), uint16_t(r.width()), uint16_t(r.height())});
    xcb_shape_rectangles(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT,
                         XCB_CLIP_ORDERING_UNSORTED, id, 0, 0, uint32_t(rectangles.size()),
                         rectangles.data());
    xcb_flush(connection);
    return true;
}

} // namespace

bool WindowInputShape::setInputArea(QWindow* window, const QList<QPolygonF>& polygons) {
    if (!window || !window->handle())
        return false;
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb"))
        return setX11InputShape(window, polygons);
    // Qt's Wayland plugin makes a window's mask the surface's input region, without clipping.
    if (platform.startsWith(QLatin1String("wayland"))) {
        window->setMask(regionAt(polygons, 1.0));
        return true;
    }
    return false;
}
