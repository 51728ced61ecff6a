// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/FoldApplier.h"
#include "fold/FoldModel.h"
#include "fold/FoldTarget.h"
#include "fold/FoldWindowSize.h"
#include "fold/HingedFold.h"
#include "fold/HingedPreset.h"
#include "fold/PanelFoldModel.h"

#include <benchmark/benchmark.h>

#include <random>
#include <utility>
#include <vector>

namespace {

// Both tents of a 1000 x 500 sheet folded, the right peak away from the viewer.
FoldModel foldedSheet() {
    FoldModel model({1000, 500});
    model.moveLine(0, {20, 0}, 10.0f);
    model.moveLine(2, {6, 10}, 10.0f);
    model.moveLine(6, {-15, 0}, 10.0f);
    model.moveLine(4, {0, -40}, 10.0f);
    return model;
}

void limiter(benchmark::State& state) {
    FoldModel model = foldedSheet();
    for (auto _ : state) {
        model.calculateLimits();
        benchmark::DoNotOptimize(model.limits());
    }
}
BENCHMARK(limiter);

// One drag step per line on the same folded state (the copy keeps every step alike).
void moveLineStep(benchmark::State& state) {
    const FoldModel folded = foldedSheet();
    const long line = state.range(0);
    const FoldPoint move{1.5, line == 2 || line == 4 ? 1.5 : 0.0};
    for (auto _ : state) {
        FoldModel model = folded;
        benchmark::DoNotOptimize(model.moveLine(line, move, 10.0f));
        benchmark::DoNotOptimize(model.profile());
    }
}
BENCHMARK(moveLineStep)->DenseRange(0, 6);

// Applying a fold file: the folded sheet's shape driven onto a sheet of the same shape
// (reached) and onto a lower one, which cannot hold it and takes every trial.
void applyFold(benchmark::State& state) {
    const FoldSize sheet = state.range(0) == 0 ? FoldSize{1400, 700} : FoldSize{1400, 350};
    const FoldTarget target = FoldTarget::fromSnapshot(FoldSnapshot::take(foldedSheet(), 0), 1000);
    const FoldSnapshot wanted = target.onSheet(sheet.width);
    FoldModel model(sheet);
    for (auto _ : state) {
        benchmark::DoNotOptimize(FoldApplier::apply(model, wanted));
        benchmark::DoNotOptimize(model.profile());
    }
}
BENCHMARK(applyFold)->Arg(0)->Arg(1);

// An accordion of twelve panels on a 1000 x 500 sheet pushed together, two of its tents deepened
// toward the viewer and one flipped away.
PanelFoldModel foldedAccordion() {
    PanelFoldModel model(FoldLayout::accordion(12), {1000, 500});
    model.moveLine(0, {40, 0}, 10.0f);
    model.moveLine(3, {0, 6}, 10.0f);
    model.moveLine(7, {0, -20}, 10.0f);
    model.moveLine(12, {-15, 0}, 10.0f);
    return model;
}

// One drag step of an accordion's line on the same folded state (the copy, counted in, keeps
// every step alike): its first edge, a crease, a peak moved both ways, its last edge.
void accordionStep(benchmark::State& state) {
    const PanelFoldModel folded = foldedAccordion();
    const int line = static_cast<int>(state.range(0));
    const FoldPoint move{1.5, line % 2 == 1 ? 1.5 : 0.0};
    for (auto _ : state) {
        PanelFoldModel model = folded;
        benchmark::DoNotOptimize(model.moveLine(line, move, 10.0f));
        benchmark::DoNotOptimize(model.profile());
    }
}
BENCHMARK(accordionStep)->Arg(0)->Arg(4)->Arg(5)->Arg(12);

// The slowest step: pushed together as far as it goes, the accordion refuses a peak's sideways
// move only after halving it down to nothing.
void accordionRefusedStep(benchmark::State& state) {
    PanelFoldModel model(FoldLayout::accordion(12), {1000, 500});
    model.moveLine(12, {-1000, 0}, 10.0f);
    for (auto _ : state) {
        benchmark::DoNotOptimize(model.moveLine(5, {1.5, 0}, 10.0f));
        benchmark::DoNotOptimize(model.profile());
    }
}
BENCHMARK(accordionRefusedStep);

// One turn of a twelve-panel roll on an A4 length in points, 0.1 mm thick, from its presentation
// (0) or closed (1), where every part lies near every other: random small turns, each undone by
// the next so the pose stays near where it began.
void BM_HingedStep(benchmark::State& state) {
    constexpr double pointsPerMm = 72 / 25.4;
    const FoldLayout roll = FoldLayout::hinged(FoldLayout::Shape::roll);
    HingedFold fold(roll,
                    HingedPreset::widths(roll.shape(), 12, 297 * pointsPerMm,
                                         HingedPreset::defaultAllowanceMm * pointsPerMm),
                    0.1 * pointsPerMm);
    fold.setAngles(fold.poseAngles(state.range(0) == 0 ? HingedFold::Pose::presentation
                                                       : HingedFold::Pose::closed));
    std::mt19937 random(12);
    std::uniform_int_distribution<int> crease(0, fold.panelCount() - 2);
    std::uniform_real_distribution<double> turn(-2, 2);
    std::vector<std::pair<int, double>> turns(1024);
    for (auto& t : turns)
        t = {crease(random), turn(random)};
    std::size_t step = 0;
    for (auto _ : state) {
        const auto& [k, degrees] = turns[(step / 2) % turns.size()];
        benchmark::DoNotOptimize(fold.turnCrease(k, step % 2 == 0 ? degrees : -degrees));
        ++step;
    }
}
BENCHMARK(BM_HingedStep)->Arg(0)->Arg(1);

// The window of a layout, paid at every change of layout and whenever the yaw leaves or returns
// to 0; arg 1 samples every yaw as well as every tilt.
void windowSize(benchmark::State& state) {
    const FoldWindowSize::Turns turns{60, state.range(0) ? 60.0 : 0.0};
    const FoldLayout layout = FoldLayout::accordion(6, FoldLayout::Axis::vertical);
    for (auto _ : state)
        benchmark::DoNotOptimize(FoldWindowSize::forSheet(layout, {1000, 700}, turns));
}
BENCHMARK(windowSize)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
