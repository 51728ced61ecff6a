// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/ControlAreas.h"
#include "document/DropShadow.h"

#include <QPainter>
#include <QPolygonF>

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

// A folded sheet as the renderer leaves it: two tents in perspective on transparency, with the
// window's margins around it (the window is 1.5 times the sheet's width and 1.25 its height).
QImage foldedSheet(int width, int height, double scale) {
    QImage picture(width, height, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    const double w = width / 1.5;
    const double h = height / 1.25;
    const double left = (width - w) / 2;
    const double top = (height - h) / 2;
    const double rise = h * 0.06;
    QPolygonF outline;
    const double xs[] = {0, 0.15, 0.3, 0.5, 0.7, 0.85, 1};
    const double lift[] = {0, 0, 1, 0.2, 1, 0, 0};
    for (int i = 0; i < 7; ++i)
        outline << QPointF(left + xs[i] * w, top + rise * (1 - lift[i]));
    for (int i = 6; i >= 0; --i)
        outline << QPointF(left + xs[i] * w, top + h - rise * (1 - lift[i]) * 0.5);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QLinearGradient shading(left, 0, left + w, 0);
    shading.setColorAt(0, QColor(230, 220, 200));
    shading.setColorAt(1, QColor(120, 110, 100));
    painter.setBrush(shading);
    painter.drawPolygon(outline);
    painter.end();
    picture.setDevicePixelRatio(scale);
    return picture;
}

// One display update's share: the shadow recomputed from a fresh picture and put under it.
void BM_ShadowUpdateAndPaint(benchmark::State& state) {
    const double scale = double(state.range(2));
    const QImage original =
        foldedSheet(int(state.range(0) * scale), int(state.range(1) * scale), scale);
    QImage picture = original.copy();
    DropShadow shadow;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(picture.bits(), original.constBits(), size_t(original.sizeInBytes()));
        state.ResumeTiming();
        shadow.update(picture);
        shadow.paintUnder(picture);
        benchmark::DoNotOptimize(picture.constBits());
    }
}
// Window sizes in points, then the backing scale.
BENCHMARK(BM_ShadowUpdateAndPaint)
    ->Args({957, 600, 1})
    ->Args({1577, 878, 1})
    ->Args({957, 600, 2})
    ->Args({1577, 878, 2})
    ->Unit(benchmark::kMillisecond);

// End points of a typical fold in a 1577 x 878 window, frame coordinates.
LineEndPoints typicalEndPoints() {
    const double xs[] = {263, 421, 570, 788, 1006, 1155, 1314};
    const double lift[] = {0, 0, 40, 8, 40, 0, 0};
    LineEndPoints endPoints{};
    for (int i = 0; i < 7; ++i)
        endPoints[i] = {QPointF(xs[i], 790 + lift[i]),
                        QPointF(xs[i] + (i - 3) * 3, 88 - lift[i] / 2)};
    return endPoints;
}

void BM_UpdateTrackingAreaPath(benchmark::State& state) {
    const auto endPoints = typicalEndPoints();
    ControlAreas areas;
    for (auto _ : state) {
        areas.updateTrackingAreaPath(endPoints);
        benchmark::DoNotOptimize(&areas);
    }
}
BENCHMARK(BM_UpdateTrackingAreaPath)->Unit(benchmark::kMicrosecond);

// One hover poll's test, over pointer positions spread across the window.
void BM_ControlAreaPoint(benchmark::State& state) {
    ControlAreas areas;
    areas.updateTrackingAreaPath(typicalEndPoints());
    QList<QPointF> pointers;
    for (int y = 0; y < 878; y += 37)
        for (int x = 0; x < 1577; x += 41)
            pointers << QPointF(x, y);
    qsizetype next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(areas.controlAreaPoint(pointers[next]));
        next = (next + 1) % pointers.size();
    }
}
BENCHMARK(BM_ControlAreaPoint)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
