// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldTypes.h"

#include <array>
#include <optional>

// The fold state of one document: seven creases across the sheet (left edge, left foot, left
// peak, middle, right peak, right foot, right edge), the folded profile, the per-line drag bounds
// and the fold parameters derived from the sheet's size. Lengths are in sheet units (points of
// the document window). Crease positions and parameters are single precision on purpose: the
// narrowing steps are part of the results.
class FoldModel {
public:
    // Without a screen there is no limit; with one, the window also fits its available area.
    static FoldSize sheetSizeForPicture(FoldSize pixelSize, std::optional<FoldScreen> screen);
    static FoldSize windowSizeForSheet(FoldSize imageSize);

    explicit FoldModel(FoldSize imageSize);

    void calculateLimits();
    float largestCompression(float tO, float tI) const;
    static float minimumSpaceForAngle(float k, float minSpace, float dx, float tLim, float tMov);
    static float spreadStepForAngle(float k, float minSpace, float dx, float tLim, float tMov);
    static float narrowStepForAngle(float k, float minSpace, float dx, float tLim, float tMov);
    static float peakXBetween(float x1, float x3, float t1, float t3);
    static float ellipsePeakY(float x1, float x2, float x3, float dx, float t1, float t3);

    // Applies one drag step of crease line 0..6 and returns the part of the move applied.
    // The pitch (degrees) decides the sense of a vertical drag on the peak lines.
    FoldPoint moveLine(long line, FoldPoint move, float pitch);

    static FoldPoint pointMoveDeltaX(float d, FoldPoint a, FoldPoint b);
    static FoldPoint pointMoveDeltaY(float d, FoldPoint a, FoldPoint b);

    FoldSize _imageSize;
    std::array<float, creaseLineCount> _creases{};
    std::array<FoldPoint, creaseLineCount> _profile{};
    // [i][0] lower and [i][1] upper bound of one step of line i: .x horizontal move,
    // .y change of the tent's signed compression (lines 2 and 4 only).
    std::array<std::array<FoldPoint, 2>, creaseLineCount> _limits{};
    float _minimumSpaceSide = 0.0f;
    float _minimumSpaceFoot = 0.0f;
    float _minimumSpaceMiddle = 0.0f;
    float _maximumPeakHeight = 0.0f;
    float _maximumPeakSlopeInside = 0.0f;
    float _maximumPeakSlopeOutside = 0.0f;
    float _leftDirection = 1.0f;
    float _rightDirection = 1.0f;

private:
    struct Tent {
        float tO = 0.0f;  // outer slope length
        float tI = 0.0f;  // inner slope length
        float dx = 0.0f;  // compression
        float edx = 0.0f; // largest compression
        bool folded = false;
    };

    static FoldSize fitWindowInto(FoldSize imageSize, FoldSize available);

    float x(int i) const { return static_cast<float>(_profile[i].x); }
    void layOutFlat();
    void deriveFoldParameters();

    Tent measureLeftTent() const;
    Tent measureRightTentClampingEdge();
    void setPeakBounds(int line, float lo, float hi, float ylo, float yhi);
    void limitLeftPeak(const Tent& tent);
    void limitLeftFootAndEdge(const Tent& tent);
    void limitRightPeak(const Tent& tent);
    void limitRightFootAndEdge(const Tent& tent);
    void limitMiddle(const Tent& left, const Tent& right);
    void snapLimits();

    double leftCompression() const;
    double rightCompression() const;
    void refitLeftPeak();
    void refitRightPeak();
    double moveLeftEdge(double h);
    void moveLeftFoot(double h);
    FoldPoint moveLeftPeak(double h, double v);
    void moveMiddle(double h);
    FoldPoint moveRightPeak(double h, double v);
    void moveRightFoot(double h);
    void moveRightEdge(double h);
    double compressLeftTent(double v);
    double compressRightTent(double v);
};
