// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/PanelFoldModel.h"

#include "fold/FoldArithmetic.h"

#include <algorithm>
#include <array>
#include <cmath>

using namespace FoldArithmetic;

namespace {

using Axis = FoldLayout::Axis;

// The most a panel's folded length may differ from its flat length in a fold put on the sheet:
// half a point, and no more than this share of the length, so that a tiny sheet hides no stretch.
constexpr double stretchTolerance = 0.5;
constexpr double stretchShare = 5e-4;
// What rounding leaves of a panel the limits kept at the shortest.
constexpr double roundingTolerance = 1e-9;

// The classic's flat creases; the other layouts space their creases evenly.
constexpr std::array<double, 7> twoTentsCreases{0.0, 0.15, 0.3, 0.5, 0.7, 0.85, 1.0};

double lengthOf(const FoldLayout& layout, FoldSize sheet) {
    return layout.axis() == Axis::vertical ? sheet.width : sheet.height;
}

double breadthOf(const FoldLayout& layout, FoldSize sheet) {
    return layout.axis() == Axis::vertical ? sheet.height : sheet.width;
}

} // namespace

PanelFoldModel::PanelFoldModel(FoldLayout layout, FoldSize sheetSize)
    : _layout(layout), _sheetSize(sheetSize),
      _limits(lengthOf(layout, sheetSize), breadthOf(layout, sheetSize), layout.panelCount()) {
    layOutFlat();
    buildProfile();
}

void PanelFoldModel::layOutFlat() {
    using Kind = Group::Kind;
    const int panels = _layout.panelCount();
    const double length = lengthOf(_layout, _sheetSize);
    switch (_layout.shape()) {
    case FoldLayout::Shape::twoTents:
        _groups = {{Kind::margin, 0}, {Kind::tent, 1}, {Kind::tent, 3}, {Kind::margin, 5}};
        break;
    case FoldLayout::Shape::tent:
        _groups = {{Kind::margin, 0}, {Kind::tent, 1}, {Kind::margin, 3}};
        break;
    case FoldLayout::Shape::accordion:
        for (int first = 0; first + 1 < panels; first += 2)
            _groups.push_back({Kind::tent, first});
        if (panels % 2 == 1)
            _groups.push_back({Kind::freeEnd, panels - 1});
        break;
    }
    _creases.resize(panels + 1);
    for (int line = 0; line <= panels; ++line) {
        const double fraction = _layout.shape() == FoldLayout::Shape::twoTents
                                    ? twoTentsCreases[line]
                                    : static_cast<double>(line) / panels;
        _creases[line] = fraction * length;
    }
    _creases.back() = length;
    _profile.resize(_creases.size());
}

// Each group lays its panels from where the previous one ended: a tent over a base its
// compression shorter than its paper, with the peak where both slopes keep their lengths.
void PanelFoldModel::buildProfile() {
    double x = _firstEdge;
    _profile.front() = {x, 0.0};
    for (const Group& group : _groups) {
        const double first = panel(group.first);
        switch (group.kind) {
        case Group::Kind::margin:
            x += first;
            _profile[group.first + 1] = {x, 0.0};
            break;
        case Group::Kind::tent: {
            const double second = panel(group.first + 1);
            const double base = first + second - group.compression;
            const double run = (base * base + first * first - second * second) / (2.0 * base);
            const double rise = rootOf((first - run) * (first + run));
            _profile[group.first + 1] = {x + run, group.direction * rise};
            x += base;
            _profile[group.first + 2] = {x, 0.0};
            break;
        }
        case Group::Kind::freeEnd: {
            const double run = first - group.compression;
            const double rise = rootOf((first - run) * (first + run));
            _profile[group.first + 1] = {x + run, group.direction * rise};
            break;
        }
        }
    }
}

PanelFoldModel::LineKind PanelFoldModel::lineKind(int line) const {
    if (line == 0 || line == lineCount() - 1)
        return LineKind::edge;
    const int group = groupEndingAt(line);
    const bool insideATent =
        _groups[group].kind == Group::Kind::tent && _groups[group].first + 1 == line;
    return insideATent ? LineKind::peak : LineKind::crease;
}

// The group whose panels hold the line, the earlier one where two groups meet at it.
int PanelFoldModel::groupEndingAt(int line) const {
    int index = 0;
    for (int i = 0; i < static_cast<int>(_groups.size()); ++i) {
        if (_groups[i].first < line)
            index = i;
    }
    return index;
}

double PanelFoldModel::largestCompression(const Group& group) const {
    switch (group.kind) {
    case Group::Kind::tent:
        return _limits.largestTentCompression(panel(group.first), panel(group.first + 1));
    case Group::Kind::freeEnd:
        return _limits.largestFreeCompression(panel(group.first));
    case Group::Kind::margin:
        break;
    }
    return 0.0;
}

bool PanelFoldModel::allowsCompression(const Group& group) const {
    return group.compression <= largestCompression(group);
}

// The paper the whole fold can still take up, or give back when spreading.
double PanelFoldModel::foldRoom(bool spreading) const {
    double room = 0.0;
    for (const Group& group : _groups)
        room += spreading ? group.compression : largestCompression(group) - group.compression;
    return std::max(room, 0.0);
}

bool PanelFoldModel::isSound(const std::vector<double>& creases,
                             const std::vector<FoldPoint>& profile, double length) {
    if (creases.size() < 2 || creases.size() != profile.size())
        return false;
    const double tolerance = std::min(stretchTolerance, stretchShare * length);
    if (std::abs(creases.front()) > tolerance || std::abs(creases.back() - length) > tolerance)
        return false;
    for (std::size_t i = 0; i + 1 < creases.size(); ++i) {
        const FoldPoint a = profile[i];
        const FoldPoint b = profile[i + 1];
        const double folded = std::hypot(b.x - a.x, b.y - a.y);
        // Written so that NaN fails every comparison.
        if (!(creases[i] < creases[i + 1]) ||
            !(std::abs(folded - (creases[i + 1] - creases[i])) <= tolerance))
            return false;
    }
    return true;
}

bool PanelFoldModel::restore(const std::vector<double>& creases,
                             const std::vector<FoldPoint>& profile) {
    if (static_cast<int>(creases.size()) != lineCount() || !isSound(creases, profile, length()))
        return false;
    std::vector<double> placed = creases;
    placed.front() = 0.0;
    placed.back() = length();
    for (std::size_t i = 0; i + 1 < placed.size(); ++i) {
        if (placed[i + 1] - placed[i] < _limits.shortestPanel() - roundingTolerance)
            return false;
    }
    _creases = std::move(placed);
    double taken = 0.0;
    for (Group& group : _groups) {
        takeShapeOf(group, profile);
        taken += group.compression;
    }
    _firstEdge = std::clamp(profile.front().x, 0.0, taken);
    buildProfile();
    return true;
}

void PanelFoldModel::presentationPose() {
    double taken = 0.0;
    for (Group& group : _groups) {
        group.compression = 0.5 * largestCompression(group);
        group.direction = 1.0;
        taken += group.compression;
    }
    _firstEdge = 0.5 * taken;
    buildProfile();
}

// A group's compression is the paper its panels take up between its ends on the profile; its
// side is the side its peak or free edge lies on.
void PanelFoldModel::takeShapeOf(Group& group, const std::vector<FoldPoint>& profile) {
    if (group.kind == Group::Kind::margin)
        return;
    const int last = group.kind == Group::Kind::tent ? group.first + 2 : group.first + 1;
    const double paper = _creases[last] - _creases[group.first];
    const double span = profile[last].x - profile[group.first].x;
    group.compression = std::clamp(paper - span, 0.0, largestCompression(group));
    group.direction = profile[group.first + 1].y < 0.0 ? -1.0 : 1.0;
}
