// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/FloorShadow.h"

#include "render/SheetGeometry.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {

// The shadow map's longer side: the shadow is blurred, so more pixels would show nothing more.
constexpr int shadowMapEdge = 512;
// Fractions of the sheet's extent.
constexpr double softBlur = 0.03;
constexpr double contactBlur = 0.012;
constexpr double contactBand = 0.02;
constexpr float softOpacity = 0.45f;
constexpr float contactOpacity = 0.75f;

QVector3D transformed(const ProjectedBox::Matrix& m, QVector3D p) {
    return QVector3D(float(m[0] * p.x() + m[4] * p.y() + m[8] * p.z() + m[12]),
                     float(m[1] * p.x() + m[5] * p.y() + m[9] * p.z() + m[13]),
                     float(m[2] * p.x() + m[6] * p.y() + m[10] * p.z() + m[14]));
}

// Three box blurs come close to a Gaussian; rows and columns apart.
void boxBlur(std::vector<float>& values, int width, int height, int radius) {
    if (radius < 1)
        return;
    std::vector<float> line;
    const auto blurLine = [&](int count, auto at) {
        line.assign(std::size_t(count), 0.0f);
        for (int pass = 0; pass < 3; ++pass) {
            for (int i = 0; i < count; ++i)
                line[std::size_t(i)] = at(i);
            float sum = 0;
            for (int i = -radius; i <= radius; ++i)
                sum += (i >= 0 && i < count) ? line[std::size_t(i)] : 0.0f;
            for (int i = 0; i < count; ++i) {
                at(i) = sum / float(2 * radius + 1);
                const int leaving = i - radius;
                const int entering = i + radius + 1;
                sum += (entering < count ? line[std::size_t(entering)] : 0.0f) -
                       (leaving >= 0 ? line[std::size_t(leaving)] : 0.0f);
            }
        }
    };
    for (int y = 0; y < height; ++y)
        blurLine(width, [&](int x) -> float& { return values[std::size_t(y * width + x)]; });
    for (int x = 0; x < width; ++x)
        blurLine(height, [&](int y) -> float& { return values[std::size_t(y * width + x)]; });
}

// The part of a facet on the floor's side of the plane y = level (Sutherland-Hodgman against one
// plane).
std::vector<QVector3D> below(const FloorShadow::Facet& facet, float level) {
    std::vector<QVector3D> kept;
    for (std::size_t i = 0; i < facet.size(); ++i) {
        const QVector3D& a = facet[i];
        const QVector3D& b = facet[(i + 1) % facet.size()];
        if (a.y() >= level)
            kept.push_back(a);
        if ((a.y() >= level) != (b.y() >= level))
            kept.push_back(a + (b - a) * ((level - a.y()) / (b.y() - a.y())));
    }
    return kept;
}

} // namespace

std::vector<FloorShadow::Facet> FloorShadow::facetsOf(const SheetGeometry& geometry,
                                                      const ProjectedBox::Matrix& modelView) {
    const float start = geometry.acrossStart();
    const float end = geometry.acrossEnd(0.0);
    std::vector<Facet> facets;
    for (int i = 0; i + 1 < geometry.pointCount(); ++i) {
        const float along[2] = {geometry.pointAlong(i), geometry.pointAlong(i + 1)};
        const float depth[2] = {geometry.pointDepth(i), geometry.pointDepth(i + 1)};
        facets.push_back({transformed(modelView, geometry.at(along[0], start, depth[0])),
                          transformed(modelView, geometry.at(along[0], end, depth[0])),
                          transformed(modelView, geometry.at(along[1], end, depth[1])),
                          transformed(modelView, geometry.at(along[1], start, depth[1]))});
    }
    return facets;
}

FloorShadow::FloorShadow(std::span<const Facet> facets, QVector3D light) {
    if (facets.empty())
        return;
    QVector3D lowest = facets.front()[0];
    QVector3D highest = lowest;
    for (const Facet& facet : facets) {
        for (const QVector3D& corner : facet) {
            lowest = QVector3D(std::min(lowest.x(), corner.x()), std::min(lowest.y(), corner.y()),
                               std::min(lowest.z(), corner.z()));
            highest =
                QVector3D(std::max(highest.x(), corner.x()), std::max(highest.y(), corner.y()),
                          std::max(highest.z(), corner.z()));
        }
    }
    _floorLevel = highest.y();
    _sheetExtent =
        std::max({highest.x() - lowest.x(), highest.y() - lowest.y(), highest.z() - lowest.z()});
    const std::vector<Outline> soft = castAlong(facets, light);
    const std::vector<Outline> contact = contactFootprints(facets);
    QRectF bounds;
    for (const std::vector<Outline>* outlines : {&soft, &contact}) {
        for (const Outline& outline : *outlines)
            bounds |= QPolygonF(QList<QPointF>(outline.begin(), outline.end())).boundingRect();
    }
    QRectF footprint;
    for (const Outline& outline : contact)
        footprint |= QPolygonF(QList<QPointF>(outline.begin(), outline.end())).boundingRect();
    _footprintCentre = footprint.center();
    const double margin = 4 * softBlur * _sheetExtent;
    _area = bounds.adjusted(-margin, -margin, margin, margin);
    _pixelsPerUnit = shadowMapEdge / std::max(_area.width(), _area.height());

    const QImage softMap =
        rasterise(soft, 0.0, int(std::lround(softBlur * _sheetExtent * _pixelsPerUnit)));
    // Paper standing upright touches the floor along a line: the contact spreads a little
    // either side of it.
    const QImage contactMap =
        rasterise(contact, contactBand * _sheetExtent,
                  std::max(1, int(std::lround(contactBlur * _sheetExtent * _pixelsPerUnit))));
    _darkness = QImage(softMap.size(), QImage::Format_ARGB32);
    for (int y = 0; y < _darkness.height(); ++y) {
        const uchar* s = softMap.constScanLine(y);
        const uchar* c = contactMap.constScanLine(y);
        QRgb* out = reinterpret_cast<QRgb*>(_darkness.scanLine(y));
        for (int x = 0; x < _darkness.width(); ++x) {
            const float lit =
                (1 - softOpacity * s[x] / 255.0f) * (1 - contactOpacity * c[x] / 255.0f);
            out[x] = qRgba(0, 0, 0, int(std::lround((1 - lit) * 255)));
        }
    }
}

// Each corner slides away from the light down to the floor.
std::vector<FloorShadow::Outline> FloorShadow::castAlong(std::span<const Facet> facets,
                                                         QVector3D light) const {
    std::vector<Outline> outlines;
    for (const Facet& facet : facets) {
        Outline outline;
        for (const QVector3D& corner : facet) {
            const QVector3D onFloor = corner - light * ((_floorLevel - corner.y()) / -light.y());
            outline.emplace_back(onFloor.x(), onFloor.z());
        }
        outlines.push_back(std::move(outline));
    }
    return outlines;
}

std::vector<FloorShadow::Outline>
FloorShadow::contactFootprints(std::span<const Facet> facets) const {
    std::vector<Outline> outlines;
    const float level = _floorLevel - float(contactBand) * _sheetExtent;
    for (const Facet& facet : facets) {
        Outline outline;
        for (const QVector3D& point : below(facet, level))
            outline.emplace_back(point.x(), point.z());
        if (!outline.empty())
            outlines.push_back(std::move(outline));
    }
    return outlines;
}

// A footprint seen edge on has no area: its outline is stroked at least a pixel wide so that it
// still darkens the floor.
QImage FloorShadow::rasterise(const std::vector<Outline>& outlines, double penWidth,
                              int blurPixels) const {
    const QSize size(std::max(1, int(std::ceil(_area.width() * _pixelsPerUnit))),
                     std::max(1, int(std::ceil(_area.height() * _pixelsPerUnit))));
    QImage mask(size, QImage::Format_Grayscale8);
    mask.fill(0);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(Qt::white);
        painter.scale(_pixelsPerUnit, _pixelsPerUnit);
        painter.translate(-_area.topLeft());
        painter.setPen(QPen(Qt::white, std::max(penWidth, 1.0 / _pixelsPerUnit)));
        for (const Outline& outline : outlines)
            painter.drawPolygon(outline.data(), int(outline.size()));
    }
    std::vector<float> values(std::size_t(size.width()) * std::size_t(size.height()));
    for (int y = 0; y < size.height(); ++y) {
        const uchar* row = mask.constScanLine(y);
        for (int x = 0; x < size.width(); ++x)
            values[std::size_t(y * size.width() + x)] = row[x];
    }
    boxBlur(values, size.width(), size.height(), blurPixels);
    for (int y = 0; y < size.height(); ++y) {
        uchar* row = mask.scanLine(y);
        for (int x = 0; x < size.width(); ++x)
            row[x] = uchar(
                std::clamp(int(std::lround(values[std::size_t(y * size.width() + x)])), 0, 255));
    }
    return mask;
}
