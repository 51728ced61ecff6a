// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/FloorScene.h"
#include "render/FloorShadow.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// An accordion of panels standing on the floor in front of the eye, zigzagging in depth.
std::vector<FloorShadow::Facet> standingAccordion(int panels) {
    std::vector<FloorShadow::Facet> facets;
    const float width = 2.0f / float(panels);
    for (int i = 0; i < panels; ++i) {
        const float left = -1.0f + float(i) * width;
        const float nearZ = -3.0f + (i % 2 ? 0.0f : 0.2f);
        const float farZ = -3.0f + (i % 2 ? 0.2f : 0.0f);
        facets.push_back({QVector3D(left, 0.75f, nearZ), QVector3D(left + width, 0.75f, farZ),
                          QVector3D(left + width, -0.7f, farZ - 0.4f),
                          QVector3D(left, -0.7f, nearZ - 0.4f)});
    }
    return facets;
}

} // namespace

// Each export on a floor makes the shadow once, before its tiles.
void floorShadow(benchmark::State& state) {
    const std::vector<FloorShadow::Facet> facets = standingAccordion(int(state.range(0)));
    const QVector3D light = FloorScene().lightDirection();
    for (auto _ : state) {
        const FloorShadow shadow(facets, light);
        benchmark::DoNotOptimize(shadow.darkness().constBits());
    }
}
BENCHMARK(floorShadow)->Arg(2)->Arg(7)->Arg(12)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
