// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldTypes.h"

#include <random>

struct Drag {
    long line;
    FoldPoint move;
    float pitch;
};

// Random drag steps of every kind and size, from nudges to moves far past any bound.
class DragGenerator {
public:
    DragGenerator(unsigned seed, double width) : _random(seed), _width(width) {}

    Drag next() {
        const long line = std::uniform_int_distribution<long>(0, 6)(_random);
        FoldPoint move{amount(), 0.0};
        if (line == 2 || line == 4) {
            const int kind = std::uniform_int_distribution<int>(0, 2)(_random);
            move.y = kind == 0 ? 0.0 : amount();
            if (kind == 1)
                move.x = 0.0;
        }
        const float pitch = std::uniform_real_distribution<float>(-40.0f, 40.0f)(_random);
        return {line, move, pitch};
    }

private:
    double amount() {
        const int scale = std::uniform_int_distribution<int>(0, 9)(_random);
        const double reach = scale < 5 ? 2.0 : scale < 8 ? 0.05 * _width : 0.6 * _width;
        return std::uniform_real_distribution<double>(-reach, reach)(_random);
    }

    std::mt19937 _random;
    double _width;
};
