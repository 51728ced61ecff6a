// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>

#include <benchmark/benchmark.h>

// What any drawing of the sheet into a read-back frame costs, with no fold, no line pass and no
// search: one clear, one textured quad of the sheet's size in the frame's middle, one read-back
// of the whole frame. Sizes in device pixels.
void measureBareFloor(benchmark::State& state, QSize frame, QSize sheet);
