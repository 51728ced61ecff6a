// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Arithmetic shared by the fold's sizing, limiter and solver.

#include <algorithm>
#include <cmath>
#include <numbers>

namespace FoldArithmetic {

inline constexpr float largestAngle = 85.0f;
inline constexpr double zeroRoom = 0.01; // rooms and bounds below this count as zero
inline constexpr double deadZone = 0.1;  // drag amounts below this are left pending

// Rounding can push a geometrically non-negative square-root argument just below zero (a tent
// refitted at a compression of about 1e-7); such a root is taken as 0 rather than NaN.
inline float rootOf(float value) {
    return value > 0.0f ? std::sqrt(value) : 0.0f;
}

inline double rootOf(double value) {
    return value > 0.0 ? std::sqrt(value) : 0.0;
}

inline float cosineOfDegrees(float degrees) {
    if (!(degrees < largestAngle))
        degrees = largestAngle;
    return std::cos(static_cast<float>(degrees * std::numbers::pi / 180.0));
}

// The smaller of two rooms; on a tie the side room.
inline float smallerRoom(float slopeRoom, float sideRoom) {
    return slopeRoom < sideRoom ? slopeRoom : sideRoom;
}

inline double clampStep(double wanted, double lower, double upper) {
    return std::min(std::max(lower, wanted), upper);
}

inline double finiteOrZero(double value) {
    return std::isfinite(value) ? value : 0.0;
}

} // namespace FoldArithmetic
