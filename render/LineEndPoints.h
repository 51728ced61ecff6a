// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldTypes.h"

#include <QPointF>

#include <array>

// End points of the crease lines, as many as the layout has: [line][0] is the top end (the left
// end of a horizontal crease), [line][1] the bottom end (the right end), in frame coordinates
// (origin at the bottom-left corner of the frame, x right, y up, one unit per point). Produced by
// the renderer's search and copied unchanged wherever they travel.
using LineEndPoints = std::array<std::array<QPointF, 2>, mostCreaseLines>;

// Which end of a line: the index into LineEndPoints' inner array; Top is a horizontal crease's
// left end.
enum class LineEnd { Top = 0, Bottom = 1 };
