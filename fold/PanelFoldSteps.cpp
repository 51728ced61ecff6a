// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The drag steps of a panel fold, each within the limits.
#include "fold/PanelFoldModel.h"

#include "fold/FoldArithmetic.h"

#include <algorithm>
#include <cmath>

using namespace FoldArithmetic;

namespace {

// Halvings of a refused step in search of the part the limits allow: far below the dead zone.
constexpr int shiftTrials = 24;

} // namespace

FoldPoint PanelFoldModel::moveLine(int line, FoldPoint move, float pitch) {
    if (line < 0 || line >= lineCount())
        return {};
    const double h = finiteOrZero(move.x);
    // Seen from below, an upward drag flattens a tent that rises toward the viewer.
    const bool reversed = pitch < 0.0f;
    const double v = reversed ? -finiteOrZero(move.y) : finiteOrZero(move.y);
    Group& group = _groups[groupEndingAt(line)];
    FoldPoint applied;
    switch (lineKind(line)) {
    case LineKind::edge:
        applied.x = pushEdge(line, h);
        if (line > 0 && group.kind == Group::Kind::freeEnd)
            applied.y = deepen(group, v);
        break;
    case LineKind::crease:
        applied.x = moveCrease(line, h);
        break;
    case LineKind::peak:
        applied.x = movePeak(line, h);
        applied.y = deepen(group, v);
        break;
    }
    if (reversed)
        applied.y = -applied.y;
    buildProfile();
    return applied;
}

// Takes up or gives back paper in every group in proportion to what each can take or give, so
// the whole fold narrows or widens evenly; the dragged edge moves with the pointer and the other
// stays.
double PanelFoldModel::pushEdge(int line, double step) {
    const bool first = line == 0;
    const double inward = first ? step : -step;
    const double outwardRoom = first ? _firstEdge : length() - _profile.back().x;
    const double taken = foldRoom(false);
    const double given = foldRoom(true);
    const double change = clampStep(inward, -std::min(given, outwardRoom), taken);
    if (std::abs(change) < deadZone)
        return 0.0;
    for (Group& group : _groups) {
        const double largest = largestCompression(group);
        const double share =
            change > 0.0 ? (largest - group.compression) / taken : group.compression / given;
        group.compression = std::clamp(group.compression + change * share, 0.0, largest);
    }
    if (first)
        _firstEdge += change;
    keepEdgesOnTheSheet();
    return first ? change : -change;
}

double PanelFoldModel::moveCrease(int line, double step) {
    const double shortest = _limits.shortestPanel();
    const double wanted = clampStep(step, shortest - panel(line - 1), panel(line) - shortest);
    const double shift = reachableShift(line, wanted);
    if (std::abs(shift) < deadZone)
        return 0.0;
    _creases[line] += shift;
    return shift;
}

// Moves the peak by the step with its tent's base and compression kept: the peak's run from the
// base's start grows by (paper / base) for every unit the crease slides along the paper.
double PanelFoldModel::movePeak(int line, double step) {
    const Group& tent = _groups[groupEndingAt(line)];
    const double paper = panel(line - 1) + panel(line);
    const double ratio = (paper - tent.compression) / paper;
    const double shortest = _limits.shortestPanel();
    const double wanted =
        clampStep(step * ratio, shortest - panel(line - 1), panel(line) - shortest);
    const double slide = reachableShift(line, wanted);
    if (std::abs(slide / ratio) < deadZone)
        return 0.0;
    _creases[line] += slide;
    return slide / ratio;
}

// The largest part of a crease's slide along the paper that leaves the groups around it within
// their limits; the limits hold where the crease is.
double PanelFoldModel::reachableShift(int line, double wanted) {
    const double start = _creases[line];
    double allowed = 0.0;
    double refused = 1.0;
    for (int trial = 0; trial <= shiftTrials && allowed < refused; ++trial) {
        const double fraction = trial == 0 ? 1.0 : 0.5 * (allowed + refused);
        _creases[line] = start + fraction * wanted;
        const bool fits = allowsCompression(_groups[groupEndingAt(line)]) &&
                          allowsCompression(_groups[groupEndingAt(line + 1)]);
        (fits ? allowed : refused) = fraction;
        if (trial == 0 && fits)
            break;
    }
    _creases[line] = start;
    return allowed * wanted;
}

// A step of the group's signed compression, flipping it to the other side past flat. The part
// of the sheet farther from its middle slides; a group across the middle takes half from each.
double PanelFoldModel::deepen(Group& group, double step) {
    const double largest = largestCompression(group);
    const double signedCompression = group.direction * group.compression;
    const double wanted = clampStep(signedCompression + step, -largest, largest);
    const double change = wanted - signedCompression;
    if (std::abs(change) < deadZone)
        return 0.0;
    const double taken = std::abs(wanted) - group.compression;
    const double middle = 0.5 * length();
    const int last = group.kind == Group::Kind::tent ? group.first + 2 : group.first + 1;
    if (_creases[last] <= middle)
        _firstEdge += taken;
    else if (_creases[group.first] < middle)
        _firstEdge += 0.5 * taken;
    group.compression = std::abs(wanted);
    group.direction = wanted < 0.0 ? -1.0 : 1.0;
    keepEdgesOnTheSheet();
    return change;
}

// Neither edge may lie beyond the flat sheet's: the first edge no further back than the sheet's
// start, the last (the first plus the length less the paper taken up) no further than its end.
void PanelFoldModel::keepEdgesOnTheSheet() {
    const double taken = foldRoom(true);
    _firstEdge = std::clamp(_firstEdge, 0.0, taken);
}
