// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/HingedFoldMotion.h"

#include "fold/HingedPreset.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// Exactly from at 0 and exactly to at 1.
double between(double from, double to, double along) {
    return from * (1 - along) + to * along;
}

double totalTurn(const std::vector<double>& angles) {
    return std::accumulate(angles.begin(), angles.end(), 0.0,
                           [](double sum, double a) { return sum + std::abs(a); });
}

} // namespace

std::vector<std::vector<double>> HingedFoldMotion::frames(const HingedFold& fold,
                                                          const std::vector<double>& start,
                                                          const std::vector<double>& end,
                                                          const FoldMotion::Timing& timing) {
    const HingedPreset preset = HingedPreset::of(fold.layout().shape(), fold.panelCount());
    const int stageCount = preset.stepCount();
    const bool closing = totalTurn(end) >= totalTurn(start);
    std::vector<int> stages = preset.steps;
    if (!closing) {
        for (int& stage : stages)
            stage = stageCount - 1 - stage;
    }
    HingedFold sheet = fold;
    if (!sheet.setAngles(start))
        sheet.setAngles(sheet.poseAngles(HingedFold::Pose::flat));

    const int count = FoldMotion::frameCount(timing);
    // A loop comes back the way it went: its second half mirrors the first.
    const int computed = timing.loop ? count / 2 + 1 : count;
    std::vector<std::vector<double>> frames;
    for (int i = 0; i < computed; ++i) {
        double along = FoldMotion::progressOfFrame(i, count, timing.loop);
        if (timing.ease)
            along = FoldMotion::eased(along);
        stepTo(sheet, wantedAt(stages, stageCount, start, end, along), stages);
        frames.push_back(sheet.angles());
    }
    for (int i = computed; i < count; ++i)
        frames.push_back(frames[count - i]);
    return frames;
}

std::vector<double> HingedFoldMotion::wantedAt(const std::vector<int>& stages, int stageCount,
                                               const std::vector<double>& start,
                                               const std::vector<double>& end, double along) {
    std::vector<double> wanted(start.size());
    for (std::size_t k = 0; k < start.size(); ++k) {
        const double share = std::clamp(along * stageCount - stages[k], 0.0, 1.0);
        wanted[k] = between(start[k], end[k], share);
    }
    return wanted;
}

void HingedFoldMotion::stepTo(HingedFold& sheet, const std::vector<double>& wanted,
                              const std::vector<int>& stages) {
    if (sheet.setAngles(wanted))
        return;
    std::vector<int> order(wanted.size());
    std::iota(order.begin(), order.end(), 0);
    std::ranges::stable_sort(order, {}, [&](int k) { return stages[k]; });
    for (int k : order)
        sheet.turnCrease(k, wanted[k] - sheet.angles()[k]);
}
