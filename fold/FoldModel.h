// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldSnapshot.h"
#include "fold/FoldTypes.h"
#include "fold/TentSide.h"

#include <array>
#include <optional>

// The fold state of one document: seven creases across the sheet (left edge, left foot, left
// peak, middle, right peak, right foot, right edge), the folded profile, the per-line drag bounds
// and the fold parameters derived from the sheet's size. Lengths are in sheet units (points of
// the document window). Crease positions and parameters are single precision on purpose: the
// narrowing steps are part of the results. The state changes only by drag steps, by restoring a
// fold taken before, and by recomputing the bounds.
class FoldModel {
public:
    // The limits of the fold that follow from the sheet's size.
    struct Parameters {
        float minimumSpaceSide = 0.0f;
        float minimumSpaceFoot = 0.0f;
        float minimumSpaceMiddle = 0.0f;
        float maximumPeakHeight = 0.0f;
        float maximumPeakSlopeInside = 0.0f;
        float maximumPeakSlopeOutside = 0.0f;
    };

    // Without a screen there is no limit; with one, the window also fits its available area.
    static FoldSize sheetSizeForPicture(FoldSize pixelSize, std::optional<FoldScreen> screen);
    static FoldSize windowSizeForSheet(FoldSize sheetSize);

    explicit FoldModel(FoldSize sheetSize);

    FoldSize sheetSize() const { return _sheetSize; }
    const std::array<float, creaseLineCount>& creases() const { return _creases; }
    const std::array<FoldPoint, creaseLineCount>& profile() const { return _profile; }
    // The side each peak rises to: 1 toward the viewer, -1 away.
    float leftDirection() const { return _leftDirection; }
    float rightDirection() const { return _rightDirection; }
    // The bounds of the next step of each line, as the last calculateLimits() found them (every
    // drag step starts with one).
    const std::array<StepBounds, creaseLineCount>& limits() const { return _limits; }
    const Parameters& parameters() const { return _parameters; }

    // Applies one drag step of crease line 0..6 and returns the part of the move applied.
    // The pitch (degrees) decides the sense of a vertical drag on the peak lines.
    FoldPoint moveLine(long line, FoldPoint move, float pitch);
    // Puts back a fold of this sheet exactly, taken from it or placed on it from a sound fold,
    // and recomputes the bounds. The snapshot's pitch is not the model's.
    void restore(const FoldSnapshot& fold);
    // Recomputes the bounds; a right edge found beyond the sheet is put back onto it.
    void calculateLimits();

    float largestCompression(float tO, float tI) const;
    static float minimumSpaceForAngle(float k, float minSpace, float dx, float tLim, float tMov);
    static float spreadStepForAngle(float k, float minSpace, float dx, float tLim, float tMov);
    static float narrowStepForAngle(float k, float minSpace, float dx, float tLim, float tMov);
    static float peakXBetween(float x1, float x3, float t1, float t3);
    static float ellipsePeakY(float x1, float x2, float x3, float dx, float t1, float t3);

    static FoldPoint pointMoveDeltaX(float d, FoldPoint a, FoldPoint b);
    static FoldPoint pointMoveDeltaY(float d, FoldPoint a, FoldPoint b);

private:
    struct Tent {
        float tO = 0.0f;  // outer slope length
        float tI = 0.0f;  // inner slope length
        float dx = 0.0f;  // compression
        float edx = 0.0f; // largest compression
        bool folded = false;
    };
    // The middle's room beside one tent: moving toward the tent narrows it, away spreads it.
    struct MiddleRoom {
        float toward = 0.0f;
        float away = 0.0f;
    };

    static FoldSize fitWindowInto(FoldSize sheetSize, FoldSize available);

    float x(int i) const { return static_cast<float>(_profile[i].x); }
    // The length of paper between two creases, in either order.
    float paperBetween(int a, int b) const {
        return a < b ? _creases[b] - _creases[a] : _creases[a] - _creases[b];
    }
    // The tent routines take their side at compile time, which keeps them as fast as one copy
    // per side.
    template <const TentSide& side> double sheetEdgeX() const {
        return side.left ? 0.0 : _sheetSize.width;
    }
    // How far the tent's edge is pulled in from the flat sheet's edge.
    template <const TentSide& side> double compressionOf() const {
        return side.inwardDistance(sheetEdgeX<side>(), _profile[side.edge].x);
    }
    template <const TentSide& side> float& direction() {
        return side.left ? _leftDirection : _rightDirection;
    }
    void layOutFlat();
    void deriveFoldParameters();

    template <const TentSide& side> Tent measureTent();
    template <const TentSide& side> void setRooms(int line, double outward, double inward);
    template <const TentSide& side> float limitPeak(const Tent& tent);
    template <const TentSide& side> void limitFootAndEdge(const Tent& tent, float peakInward);
    template <const TentSide& side> MiddleRoom middleRoomBeside(const Tent& tent) const;
    void limitMiddle(const Tent& left, const Tent& right);
    void snapLimits();

    template <const TentSide& side> void refitPeak();
    template <const TentSide& side> double moveEdge(double h);
    template <const TentSide& side> void moveFoot(double h);
    template <const TentSide& side> FoldPoint movePeak(double h, double v);
    template <const TentSide& side> double compressTent(double v);
    void moveMiddle(double h);

    FoldSize _sheetSize;
    std::array<float, creaseLineCount> _creases{};
    std::array<FoldPoint, creaseLineCount> _profile{};
    std::array<StepBounds, creaseLineCount> _limits{};
    Parameters _parameters;
    float _leftDirection = 1.0f;
    float _rightDirection = 1.0f;
};
