// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DragGenerator.h"

#include <random>

// Random drag steps of every line of a panel fold, from nudges to moves far past any bound; a
// third of them move a line toward or away from the viewer only, a third both ways.
class PanelDragGenerator {
public:
    PanelDragGenerator(unsigned seed, int lineCount, double length)
        : _random(seed), _lineCount(lineCount), _length(length) {}

    Drag next() {
        const long line = std::uniform_int_distribution<long>(0, _lineCount - 1)(_random);
        FoldPoint move{amount(), 0.0};
        const int kind = std::uniform_int_distribution<int>(0, 2)(_random);
        if (kind > 0)
            move.y = amount();
        if (kind == 1)
            move.x = 0.0;
        const float pitch = std::uniform_real_distribution<float>(-40.0f, 40.0f)(_random);
        return {line, move, pitch};
    }

private:
    double amount() {
        const int scale = std::uniform_int_distribution<int>(0, 9)(_random);
        const double reach = scale < 5 ? 2.0 : scale < 8 ? 0.05 * _length : 0.6 * _length;
        return std::uniform_real_distribution<double>(-reach, reach)(_random);
    }

    std::mt19937 _random;
    int _lineCount;
    double _length;
};
