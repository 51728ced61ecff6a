// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldTypes.h"

#include <array>

class FoldModel;

// The whole shape of a document's fold at one moment: creases, profile, the side each peak rises
// to, and the tilt. The bounds are left out, since the limiter derives them from the rest.
// FoldModel::restore() puts such a fold back.
struct FoldSnapshot {
    static FoldSnapshot take(const FoldModel& model, float pitch);

    std::array<float, creaseLineCount> creasePoint{};
    std::array<FoldPoint, creaseLineCount> coordinates{};
    float leftDirection = 1.0f;
    float rightDirection = 1.0f;
    float pitch = 0.0f;

    bool operator==(const FoldSnapshot&) const = default;
};
