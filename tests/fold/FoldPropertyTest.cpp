// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DragGenerator.h"
#include "fold/FoldModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace {

// Single-precision crease positions on sheets up to about 1000 wide.
constexpr double kTolerance = 5e-3;

bool finitePoint(FoldPoint p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

testing::AssertionResult failure(const std::string& what, int index) {
    return testing::AssertionFailure() << what << " (index " << index << ")";
}

testing::AssertionResult valuesAreFinite(const FoldModel& m) {
    for (int i = 0; i < 7; ++i) {
        if (!std::isfinite(m.creases()[i]) || !finitePoint(m.profile()[i]))
            return failure("non-finite crease or vertex", i);
        if (!finitePoint(m.limits()[i].lower) || !finitePoint(m.limits()[i].upper))
            return failure("non-finite bound", i);
    }
    return testing::AssertionSuccess();
}

testing::AssertionResult profileIsSound(const FoldModel& m, float rightEdgeCrease) {
    const auto& c = m.creases();
    const auto& p = m.profile();
    const double width = m.sheetSize().width;
    if (c[0] != 0.0f || c[6] != rightEdgeCrease)
        return failure("sheet edge crease moved", 0);
    for (int i = 0; i < 6; ++i) {
        const double length = c[i + 1] - c[i];
        const double span = std::hypot(p[i + 1].x - p[i].x, p[i + 1].y - p[i].y);
        if (!(length > 0.0) || std::abs(span - length) > kTolerance)
            return failure("segment length not kept: " + std::to_string(span) + " vs " +
                               std::to_string(length),
                           i);
    }
    for (const int i : {0, 1, 3, 5, 6}) {
        if (p[i].y != 0.0)
            return failure("vertex off the sheet's plane", i);
    }
    const double left = p[0].x;
    const double right = width - p[6].x;
    if (std::abs(p[1].x - (c[1] + left)) > kTolerance || std::abs(p[3].x - c[3]) > kTolerance ||
        std::abs(p[5].x - (c[5] - right)) > kTolerance)
        return failure("foot or middle vertex off its crease", 1);
    if (p[0].x < 0.0 || p[6].x > width || p[0].x > width || p[6].x < 0.0)
        return failure("edge outside the sheet", 0);
    if (p[2].y * m.leftDirection() < 0.0 || p[4].y * m.rightDirection() < 0.0)
        return failure("peak on the wrong side", 2);
    return testing::AssertionSuccess();
}

testing::AssertionResult boundsBracketZero(const FoldModel& m) {
    for (int i = 0; i < 7; ++i) {
        if (m.limits()[i].lower.x > 0.0 || m.limits()[i].upper.x < 0.0)
            return failure("horizontal bounds exclude 0", i);
        if (m.limits()[i].lower.y > 0.0 || m.limits()[i].upper.y < 0.0)
            return failure("vertical bounds exclude 0", i);
    }
    return testing::AssertionSuccess();
}

std::string describe(int sequence, int step, const Drag& drag) {
    std::ostringstream text;
    text << "sequence " << sequence << " step " << step << ": line " << drag.line << " move ("
         << drag.move.x << ", " << drag.move.y << ") pitch " << drag.pitch;
    return text.str();
}

class RandomDrags : public testing::TestWithParam<FoldSize> {};

TEST_P(RandomDrags, KeepTheFoldSound) {
    const FoldSize size = GetParam();
    DragGenerator drags(20261207u, size.width);
    for (int sequence = 0; sequence < 400; ++sequence) {
        FoldModel model(size);
        const float rightEdgeCrease = model.creases()[6];
        for (int step = 0; step < 40; ++step) {
            const Drag drag = drags.next();
            SCOPED_TRACE(describe(sequence, step, drag));
            const FoldPoint applied = model.moveLine(drag.line, drag.move, drag.pitch);
            ASSERT_TRUE(finitePoint(applied));
            ASSERT_LE(std::abs(applied.x), std::abs(drag.move.x) + 1e-9);
            if (drag.line == 2 && applied.y != 0.0) {
                // A vertical step never leaves the tent beyond its largest compression.
                const auto& c = model.creases();
                ASSERT_LE(model.profile()[0].x,
                          model.largestCompression(c[2] - c[1], c[3] - c[2]) + 1e-4);
                ASSERT_LE(std::abs(model.profile()[2].y),
                          model.parameters().maximumPeakHeight + kTolerance);
            }
            model.calculateLimits();
            ASSERT_TRUE(valuesAreFinite(model));
            ASSERT_TRUE(profileIsSound(model, rightEdgeCrease));
            ASSERT_TRUE(boundsBracketZero(model));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sheets, RandomDrags,
                         testing::Values(FoldSize{256, 192}, FoldSize{1000, 500},
                                         FoldSize{900, 225}, FoldSize{256, 702.4},
                                         FoldSize{1053.6, 702.4}, FoldSize{957.3, 300.1}),
                         [](const testing::TestParamInfo<FoldSize>& info) {
                             return "W" + std::to_string(int(info.param.width)) + "H" +
                                    std::to_string(int(info.param.height));
                         });

} // namespace
