// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"
#include "fold/FoldTypes.h"
#include "fold/PanelFoldLimits.h"

#include <vector>

// The fold of a sheet in any layout: panels between crease lines, numbered from 0 at the sheet's
// first edge (left, or top for horizontal creases) to the last edge. The panels form groups: a
// flat margin on the sheet's plane, a tent of two panels rising from the plane to a peak and back,
// or a last panel rising from the plane to a free edge. The profile is built from each group's
// compression and side, so every panel keeps its flat length and the profile runs forward; the
// drag steps change those values only within the limits. Positions run along the sheet's length
// (across the creases), heights toward the viewer; lengths are in sheet units.
class PanelFoldModel {
public:
    enum class LineKind {
        edge,   // one of the sheet's two edges
        crease, // a crease on the sheet's plane: a foot, a valley, or between two tents
        peak,   // the crease at a tent's top
    };

    PanelFoldModel(FoldLayout layout, FoldSize sheetSize);

    const FoldLayout& layout() const { return _layout; }
    FoldSize sheetSize() const { return _sheetSize; }
    // The sheet's length across its creases, the span of the flat profile.
    double length() const { return _creases.back(); }
    int lineCount() const { return static_cast<int>(_creases.size()); }
    LineKind lineKind(int line) const;
    // The crease lines' positions along the flat sheet, edges included.
    const std::vector<double>& creases() const { return _creases; }
    const std::vector<FoldPoint>& profile() const { return _profile; }
    const PanelFoldLimits& limits() const { return _limits; }

    // Applies one drag step of a line and returns the part applied; what the limits refuse is
    // left for the caller to keep pending. move.x runs along the sheet's length. On an edge it
    // pushes the whole fold together or pulls it apart; on a crease it moves the crease along the
    // paper; on a peak it moves the peak sideways, and move.y deepens the tent toward the viewer
    // or flattens it and flips it past flat (a step of the signed compression, reversed when the
    // pitch shows the sheet from below). A free edge also rises and falls by move.y.
    FoldPoint moveLine(int line, FoldPoint move, float pitch);

    // Whether crease positions and profile points (sheet units, one per line, edges included)
    // are a fold of a sheet this long: the creases run in order from 0 to the length and every
    // panel's folded length matches its flat length within half a point, and within 1/2000 of the
    // length on sheets under 1000 points long.
    static bool isSound(const std::vector<double>& creases, const std::vector<FoldPoint>& profile,
                        double length);
    // Puts a sound fold of this layout on the sheet as near as the limits let it: its creases,
    // each group's compression and side, and its first edge, the profile built from them again.
    // False, changing nothing, for a fold that is not sound, has another number of lines, or
    // has a panel shorter than the shortest.
    bool restore(const std::vector<double>& creases, const std::vector<FoldPoint>& profile);
    // A pose that shows the layout at a glance: every tent and free end takes up half the paper
    // its limits allow, all toward the viewer so that an accordion zig-zags, and the fold sits in
    // the middle of the sheet. The creases stay where they are.
    void presentationPose();

private:
    struct Group {
        enum class Kind { margin, tent, freeEnd };
        Kind kind;
        int first;              // its first line; a tent's peak is the next
        double compression = 0; // the paper it takes up along the length
        double direction = 1;   // 1 rises toward the viewer, -1 away
    };

    void layOutFlat();
    void takeShapeOf(Group& group, const std::vector<FoldPoint>& profile);
    void buildProfile();
    int groupEndingAt(int line) const;
    double panel(int line) const { return _creases[line + 1] - _creases[line]; }
    double largestCompression(const Group& group) const;
    bool allowsCompression(const Group& group) const;
    double foldRoom(bool spreading) const;
    double reachableShift(int line, double wanted);

    double pushEdge(int line, double step);
    double moveCrease(int line, double step);
    double movePeak(int line, double step);
    double deepen(Group& group, double step);
    void keepEdgesOnTheSheet();

    FoldLayout _layout;
    FoldSize _sheetSize;
    PanelFoldLimits _limits;
    std::vector<Group> _groups;
    std::vector<double> _creases;
    std::vector<FoldPoint> _profile;
    double _firstEdge = 0.0; // the first edge's position along the length
};
