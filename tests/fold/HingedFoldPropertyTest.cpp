// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "HingedSheets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <random>

namespace {

using Pose = HingedFold::Pose;
using SurfacePoint = HingedFold::SurfacePoint;

constexpr int kStepsPerStart = 5000; // from flat and from closed: 10,000 a shape
// A chord of a 15-degree bend segment is this share of its arc, or more.
const double kShortestChordShare = std::sin(std::numbers::pi / 24) / (std::numbers::pi / 24);

double cross(FoldPoint o, FoldPoint a, FoldPoint b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

bool cross(FoldPoint a, FoldPoint b, FoldPoint c, FoldPoint d) {
    const double c1 = cross(a, b, c), c2 = cross(a, b, d);
    const double c3 = cross(c, d, a), c4 = cross(c, d, b);
    return ((c1 < 0 && c2 > 0) || (c1 > 0 && c2 < 0)) && ((c3 < 0 && c4 > 0) || (c3 > 0 && c4 < 0));
}

// The drawn sheet keeps its paper: it runs from 0 to the length, no piece longer than its paper
// and none much shorter, and no two pieces cross, so the panels stack in one order.
testing::AssertionResult surfaceIsSound(const HingedFold& fold) {
    const std::vector<SurfacePoint> s = fold.surface();
    if (s.front().paper != 0 || s.back().paper != fold.length())
        return testing::AssertionFailure() << "surface does not span the sheet";
    const double tolerance = 1e-9 * fold.length();
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
        const double paper = s[i + 1].paper - s[i].paper;
        const double chord = std::hypot(s[i + 1].at.x - s[i].at.x, s[i + 1].at.y - s[i].at.y);
        if (paper < 0 || chord > paper + tolerance ||
            chord < kShortestChordShare * paper - tolerance)
            return testing::AssertionFailure()
                   << "piece " << i << " stretched: chord " << chord << " paper " << paper;
        for (std::size_t j = i + 2; j + 1 < s.size(); ++j) {
            if (cross(s[i].at, s[i + 1].at, s[j].at, s[j + 1].at))
                return testing::AssertionFailure() << "pieces " << i << " and " << j << " cross";
        }
    }
    return testing::AssertionSuccess();
}

testing::AssertionResult foldIsSound(const HingedFold& fold, double shortest) {
    if (!fold.allows(fold.angles()))
        return testing::AssertionFailure() << "paper through paper";
    for (double angle : fold.angles()) {
        if (!(std::abs(angle) <= 180))
            return testing::AssertionFailure() << "angle " << angle;
    }
    const double length = std::accumulate(fold.widths().begin(), fold.widths().end(), 0.0);
    if (std::abs(length - a4Length) > 1e-9 * a4Length)
        return testing::AssertionFailure() << "sheet length " << length;
    for (double width : fold.widths()) {
        if (width < shortest - 1e-9 * a4Length)
            return testing::AssertionFailure() << "panel " << width << " below the shortest";
    }
    return surfaceIsSound(fold);
}

struct Sheet {
    FoldLayout::Shape shape;
    int panels = 0; // the layout's own count when 0
};

// Every preset, and the longest roll, whose inner bends wrap the most layers.
std::vector<Sheet> sheets() {
    std::vector<Sheet> sheets;
    for (FoldLayout::Shape shape : hingedShapes())
        sheets.push_back({shape});
    sheets.push_back({FoldLayout::Shape::roll, FoldLayout::mostAccordionPanels});
    return sheets;
}

class HingedRandomSteps : public testing::TestWithParam<Sheet> {};

// Random turns, many of them far enough to meet paper or the ±180 stop, and crease moves; every
// step applies no more than asked and lands on a sound fold.
TEST_P(HingedRandomSteps, KeepTheSheetWhole) {
    for (Pose startPose : {Pose::flat, Pose::closed}) {
        HingedFold fold = presetFold(GetParam().shape, a4Length, GetParam().panels);
        ASSERT_TRUE(fold.setAngles(fold.poseAngles(startPose)));
        const double shortest = std::min(*std::ranges::min_element(fold.widths()),
                                         std::max(0.03 * a4Length, 4 * paperThickness));
        std::mt19937 random(20261210u + int(startPose));
        std::uniform_int_distribution<int> crease(0, fold.panelCount() - 2);
        std::uniform_real_distribution<double> turn(-90, 90);
        std::uniform_real_distribution<double> slide(-0.05 * a4Length, 0.05 * a4Length);
        int cut = 0;
        for (int step = 0; step < kStepsPerStart; ++step) {
            const int k = crease(random);
            if (step % 4 == 3) {
                const double wanted = slide(random);
                const double before = fold.widths()[k];
                const double applied = fold.moveCrease(k, wanted);
                ASSERT_LE(std::abs(applied), std::abs(wanted));
                ASSERT_NEAR(fold.widths()[k] - before, applied, 1e-9 * a4Length);
            } else {
                const double wanted = turn(random);
                const double before = fold.angles()[k];
                const double applied = fold.turnCrease(k, wanted);
                ASSERT_LE(std::abs(applied), std::abs(wanted) + 1e-12);
                ASSERT_NEAR(fold.angles()[k] - before, applied, 1e-9);
                cut += std::abs(applied) + 1 < std::abs(wanted);
            }
            ASSERT_TRUE(foldIsSound(fold, shortest)) << "step " << step << " crease " << k;
        }
        EXPECT_GT(cut, kStepsPerStart / 10);
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, HingedRandomSteps, testing::ValuesIn(sheets()),
                         [](const testing::TestParamInfo<Sheet>& info) {
                             std::string name = FoldLayout::hinged(info.param.shape).name();
                             if (info.param.panels > 0)
                                 name = name.substr(0, name.find('-')) + "_" +
                                        std::to_string(info.param.panels);
                             std::ranges::replace(name, '-', '_');
                             return name;
                         });

} // namespace
