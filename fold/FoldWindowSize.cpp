// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/FoldWindowSize.h"

#include "fold/FoldModel.h"
#include "fold/HingedFold.h"
#include "fold/PanelFoldLimits.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

constexpr double halfFieldOfView = 25.0 * std::numbers::pi / 180.0; // the renderer's 50 degrees
constexpr double pitchStep = 0.5;                                   // degrees
constexpr double yawStep = 1.0;                                     // degrees
// Room for the lines past the sheet's edges, their highlight and the sampled tilts.
constexpr double marginPoints = 6.0;
constexpr double marginFactor = 1.02;

struct Turned {
    double x; // across the window
    double y; // up the window
    double z; // toward the viewer
};

// The sines and cosines of one sampled tilt and yaw.
struct Turn {
    Turn(double pitch, double yaw)
        : cosPitch(std::cos(pitch)), sinPitch(std::sin(pitch)), cosYaw(std::cos(yaw)),
          sinYaw(std::sin(yaw)) {}
    double cosPitch, sinPitch, cosYaw, sinYaw;
};

// A corner of the box (along the length, across the breadth, toward the viewer) turned by the
// yaw about the axis along the creases, then by the tilt about the axis across them. The yaws are
// sampled both ways, so which way a positive one turns does not matter here; a yaw of 0 leaves
// the corner exactly where it was.
Turned turned(const FoldLayout& layout, double along, double across, double depth,
              const Turn& turn) {
    const double turnedAlong = along * turn.cosYaw + depth * turn.sinYaw;
    depth = depth * turn.cosYaw - along * turn.sinYaw;
    along = turnedAlong;
    const double c = turn.cosPitch;
    const double s = turn.sinPitch;
    if (layout.axis() == FoldLayout::Axis::vertical)
        return {along, across * c - depth * s, across * s + depth * c};
    return {across * c + depth * s, along, -across * s + depth * c};
}

// Hinged panels swing up to their whole length off the sheet's plane, toward the viewer or away.
double highestPoint(const FoldLayout& layout, double length, double breadth) {
    if (layout.isHinged())
        return HingedFold::presetReach(layout, length);
    return PanelFoldLimits(length, breadth, layout.panelCount()).highestPoint();
}

template <typename Visit>
void visitCorners(const FoldLayout& layout, FoldSize sheet, FoldWindowSize::Turns turns,
                  Visit visit) {
    const bool vertical = layout.axis() == FoldLayout::Axis::vertical;
    const double length = vertical ? sheet.width : sheet.height;
    const double breadth = vertical ? sheet.height : sheet.width;
    const double highest = highestPoint(layout, length, breadth);
    const double toRadians = std::numbers::pi / 180.0;
    for (double yaw = -turns.largestYaw; yaw <= turns.largestYaw + 1e-9; yaw += yawStep) {
        for (double pitch = -turns.largestPitch; pitch <= turns.largestPitch + 1e-9;
             pitch += pitchStep) {
            const Turn turn(pitch * toRadians, yaw * toRadians);
            for (double along : {-length / 2, length / 2})
                for (double across : {-breadth / 2, breadth / 2})
                    for (double depth : {-highest, highest})
                        visit(turned(layout, along, across, depth, turn));
        }
    }
}

} // namespace

// A point shows at p H / (2 tan(fov / 2) (E - z)) from the window's centre, E = a H: the height
// follows from every corner's y linearly, the width then from its x. The eye stays at least
// twice as far as any corner comes toward it.
FoldSize FoldWindowSize::forSheet(const FoldLayout& layout, FoldSize sheetSize, Turns turns) {
    const FoldSize classic = FoldModel::windowSizeForSheet(sheetSize);
    if (layout.isClassic() && turns.largestYaw == 0.0)
        return classic;
    const double t = std::tan(halfFieldOfView);
    const double a = eyeDistance(1.0);
    double height = classic.height;
    visitCorners(layout, sheetSize, turns, [&](const Turned& p) {
        height = std::max({height, (std::abs(p.y) / t + p.z) / a, 2 * p.z / a});
    });
    height = height * marginFactor + 2 * marginPoints;
    double width = classic.width;
    visitCorners(layout, sheetSize, turns, [&](const Turned& p) {
        width = std::max(width, std::abs(p.x) * height / (t * (a * height - p.z)));
    });
    return {width * marginFactor + 2 * marginPoints, height};
}

// The window grows with the sheet (all but its margin), so one shrinking nearly fits and a second
// takes up what the margin left.
FoldSize FoldWindowSize::sheetForPicture(const FoldLayout& layout, FoldSize pixelSize,
                                         std::optional<FoldScreen> screen, Turns turns) {
    FoldSize sheet = FoldModel::sheetSizeForPicture(pixelSize, screen);
    if ((layout.isClassic() && turns.largestYaw == 0.0) || !screen)
        return sheet;
    for (int round = 0; round < 2; ++round) {
        const FoldSize window = forSheet(layout, sheet, turns);
        double factor = 1.0;
        if (screen->available.width > 0 && window.width > screen->available.width)
            factor = screen->available.width / window.width;
        if (screen->available.height > 0 && window.height > screen->available.height)
            factor = std::min(factor, screen->available.height / window.height);
        sheet = {sheet.width * factor, sheet.height * factor};
    }
    return sheet;
}
