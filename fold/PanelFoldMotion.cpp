// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/PanelFoldMotion.h"

#include "fold/PanelFoldModel.h"

#include <algorithm>
#include <cmath>

namespace {

double between(double from, double to, double along) {
    return from * (1 - along) + to * along;
}

double angleOfPanel(const std::vector<FoldPoint>& profile, std::size_t panel) {
    return std::atan2(profile[panel + 1].y - profile[panel].y,
                      profile[panel + 1].x - profile[panel].x);
}

} // namespace

double PanelFoldMotion::progressOfFrame(int index, int count, bool loop) {
    if (!loop)
        return FoldMotion::progressOfFrame(index, count, false);
    return double(std::min(index, count - index)) / (count / 2);
}

FoldSnapshot PanelFoldMotion::turnedAt(const FoldSnapshot& start, const FoldSnapshot& end,
                                       double along) {
    FoldSnapshot wanted;
    wanted.layout = end.layout;
    wanted.pitch = float(between(start.pitch, end.pitch, along));
    const std::size_t lines = end.panelCreases.size();
    wanted.panelCreases.resize(lines);
    for (std::size_t i = 0; i < lines; ++i)
        wanted.panelCreases[i] = between(start.panelCreases[i], end.panelCreases[i], along);
    wanted.panelProfile.resize(lines);
    wanted.panelProfile[0] = {between(start.panelProfile[0].x, end.panelProfile[0].x, along), 0};
    for (std::size_t i = 0; i + 1 < lines; ++i) {
        const double angle =
            between(angleOfPanel(start.panelProfile, i), angleOfPanel(end.panelProfile, i), along);
        const double length = wanted.panelCreases[i + 1] - wanted.panelCreases[i];
        const FoldPoint from = wanted.panelProfile[i];
        wanted.panelProfile[i + 1] = {from.x + length * std::cos(angle),
                                      from.y + length * std::sin(angle)};
    }
    return wanted;
}

// A pose the model cannot take as it is (a tent whose ends the turning lifted off the sheet's
// plane) is taken as the model reads it: each tent's span and side.
std::vector<FoldSnapshot> PanelFoldMotion::frames(const PanelFoldModel& sheet,
                                                  const FoldSnapshot& start,
                                                  const FoldSnapshot& end,
                                                  const FoldMotion::Timing& timing) {
    const int count = FoldMotion::frameCount(timing);
    const int last = timing.loop ? count / 2 : count - 1;
    std::vector<FoldSnapshot> there{start};
    PanelFoldModel model = sheet;
    for (int step = 1; step <= last; ++step) {
        const double progress = progressOfFrame(step, count, timing.loop);
        if (progress == 1.0) {
            there.push_back(end);
            continue;
        }
        const double along = timing.ease ? FoldMotion::eased(progress) : progress;
        const FoldSnapshot wanted = turnedAt(start, end, along);
        model.restore(wanted.panelCreases, wanted.panelProfile);
        there.push_back(FoldSnapshot::take(model, wanted.pitch));
    }
    std::vector<FoldSnapshot> all;
    all.reserve(std::size_t(count));
    for (int index = 0; index < count; ++index)
        all.push_back(there[std::size_t(timing.loop ? std::min(index, count - index) : index)]);
    return all;
}
