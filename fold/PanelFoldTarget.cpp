// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/PanelFoldTarget.h"

#include "fold/PanelFoldModel.h"

#include <algorithm>
#include <cmath>

namespace {

std::vector<double> scaled(const std::vector<double>& values, double factor) {
    std::vector<double> result;
    for (double value : values)
        result.push_back(value * factor);
    return result;
}

std::vector<FoldPoint> scaled(const std::vector<FoldPoint>& points, double factor) {
    std::vector<FoldPoint> result;
    for (const FoldPoint& point : points)
        result.push_back({point.x * factor, point.y * factor});
    return result;
}

} // namespace

PanelFoldTarget PanelFoldTarget::fromModel(const PanelFoldModel& model, float pitch) {
    const double length = model.length();
    return {model.layout(), scaled(model.creases(), 1.0 / length),
            scaled(model.profile(), 1.0 / length), pitch};
}

bool PanelFoldTarget::isSoundOn(double length) const {
    return static_cast<int>(creases.size()) == layout.panelCount() + 1 &&
           PanelFoldModel::isSound(scaled(creases, length), scaled(profile, length), length);
}

double PanelFoldTarget::applyTo(PanelFoldModel& model) const {
    const std::vector<FoldPoint> wanted = scaled(profile, model.length());
    model.restore(scaled(creases, model.length()), wanted);
    double distance = 0.0;
    for (std::size_t i = 0; i < wanted.size() && i < model.profile().size(); ++i)
        distance = std::max(distance, std::hypot(model.profile()[i].x - wanted[i].x,
                                                 model.profile()[i].y - wanted[i].y));
    // What rounding leaves of a fold put back on its own sheet is no distance.
    return distance < 1e-6 ? 0.0 : distance;
}
