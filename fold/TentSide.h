// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The crease line between the two tents.
inline constexpr int middleLine = 3;

// One of the fold's two tents: its crease lines (both tents share the middle line) and its side.
// The limiter and the solver handle both tents with one routine each, counting distances
// toward the middle. The tents mirror each other about the sheet's centre except for the
// differences named here, which the fold has always had; apart from the dead zone's boundary they
// show only in the last digits of a position. Two more come from positions, not sides: a peak,
// refitted or laid flat, follows the vertex on its left, so the slope kept at its length is the
// left tent's outer slope but the right tent's inner one; and the right tent's compression counts
// from the sheet's width while its flat edge lies at its single-precision crease, so on a sheet
// whose width is no float the right tent starts compressed by that rounding error.
struct TentSide {
    int edge;
    int foot;
    int peak;
    bool left;

    // A vertical peak step of exactly the dead zone is ignored on the left peak; the right peak
    // clamps it and tries it.
    bool ignoresVerticalStepAtTheDeadZone;
    // The limiter puts the right edge back onto the sheet when it measures the tent; the left edge
    // is measured as it is.
    bool edgeClampedWhileMeasured;
    // Pulled out past the sheet, the left edge reports only the part of the step it applied; the
    // right edge reports the whole step the bounds allowed.
    bool edgeReportsThePartApplied;
    // When the left edge moves, its foot is put at its crease plus the edge in single precision;
    // the right foot moves by the step in double precision.
    bool footPlacedFromItsCrease;
    // The left foot's outward room counts from the edge rounded to single precision; the right
    // foot's from the edge as it is.
    bool footRoomFromTheRoundedEdge;

    // The distance from one position to another, counted toward the middle.
    template <typename T> constexpr T inwardDistance(T from, T to) const {
        return left ? to - from : from - to;
    }

    // The position that far from another toward the middle.
    template <typename T> constexpr T inwardFrom(T from, T by) const {
        return left ? from + by : from - by;
    }
};

inline constexpr TentSide leftTent{0, 1, 2, true, true, false, true, true, true};
inline constexpr TentSide rightTent{6, 5, 4, false, false, true, false, false, false};
