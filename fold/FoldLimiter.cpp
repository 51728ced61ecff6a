// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The limiter: the bounds of one drag step of every crease line, from the current fold.
#include "fold/FoldModel.h"

#include "fold/FoldArithmetic.h"
#include "fold/TentSide.h"

#include <algorithm>
#include <limits>

using namespace FoldArithmetic;

float FoldModel::largestCompression(float tO, float tI) const {
    const Parameters& p = _parameters;
    const float c = std::max(p.maximumPeakSlopeOutside * tO, p.minimumSpaceFoot);
    if (c > tO)
        return 0.0f;
    const float e = std::max(p.maximumPeakSlopeInside * tI, p.minimumSpaceMiddle);
    if (e > tI)
        return 0.0f;
    const float hO = rootOf(tO * tO - c * c);
    if (hO < zeroRoom)
        return 0.0f;
    const float hI = rootOf(tI * tI - e * e);
    if (hI < zeroRoom)
        return 0.0f;
    const bool outerLimits = hI > hO;
    const float h = outerLimits ? hO : hI;
    float r = outerLimits ? tO + tI - c - rootOf(tI * tI - tO * tO + c * c)
                          : tO + tI - e - rootOf(tO * tO - tI * tI + e * e);
    const float hMax = p.maximumPeakHeight;
    if (h > hMax)
        r = tO + tI - rootOf(tO * tO - hMax * hMax) - rootOf(tI * tI - hMax * hMax);
    return r >= zeroRoom ? r : 0.0f;
}

float FoldModel::minimumSpaceForAngle(float k, float minSpace, float dx, float tLim, float tMov) {
    if (minSpace > k * tLim)
        return minSpace;
    const float a = (tLim + tMov) * 0.5f;
    const float b = ((tLim + tMov) - dx) * 0.5f;
    const float q = a * a - b * b;
    const float d = a * a - k * b * b;
    const float e = k * b * q;
    if (d == 0.0f)
        return minSpace;
    const float underRoot = k * q * q * d + e * e;
    const float r = static_cast<float>((e + rootOf(static_cast<double>(underRoot))) / d);
    return r > minSpace ? r : minSpace;
}

float FoldModel::spreadStepForAngle(float k, float minSpace, float dx, float tLim, float tMov) {
    const float c = std::max(k * tLim, minSpace);
    const float base = tLim + tMov - dx;
    const float g = tLim - dx - c;
    const float numerator = tLim * tLim + (base - 2.0f * c) * base - tMov * tMov;
    // As g approaches 0 the room grows without bound, so this slope sets no limit; the largest
    // finite room lets the other limits that each caller takes the smaller of decide.
    if (g == 0.0f)
        return numerator > 0.0f ? std::numeric_limits<float>::max() : 0.0f;
    float q = numerator / (2.0f * g);
    if (g < 0.0f)
        q = -q;
    return q >= zeroRoom ? q : 0.0f;
}

float FoldModel::narrowStepForAngle(float k, float minSpace, float dx, float tLim, float tMov) {
    const float base = tLim + tMov - dx;
    const float p = tMov * tMov + base * base - tLim * tLim;
    const float m = base + tMov - minSpace;
    const float rs = (m - rootOf(m * m - 2.0f * (p - 2.0f * base * minSpace))) * 0.5f;
    const float flatness = 1.0f - k;
    float r = rs;
    // With k = 1 the angle limit moves out of reach, so the minimum space alone decides.
    if (flatness != 0.0f) {
        const float g = flatness * (base + tMov);
        const float ra = (g - rootOf(g * g - 2.0f * flatness * (p - 2.0f * k * base * tMov))) /
                         (2.0f * flatness);
        r = std::abs(rs) < std::abs(ra) ? rs : ra;
    }
    return r >= zeroRoom ? r : 0.0f;
}

float FoldModel::peakXBetween(float x1, float x3, float t1, float t3) {
    // A base of no width puts the apex over it.
    if (x3 == x1)
        return x1;
    return (x3 * x3 + (t1 * t1 - t3 * t3) - x1 * x1) / (2.0f * (x3 - x1));
}

float FoldModel::ellipsePeakY(float x1, float x2, float x3, float dx, float t1, float t3) {
    const float a = (t1 + t3) * 0.5f;
    if (!(dx > 0.0f) || a == 0.0f)
        return 0.0f;
    const float b = a - dx * 0.5f;
    const float u = (x2 - x1) - (x3 - x1) * 0.5f;
    return rootOf((1.0f - u * u / (a * a)) * (a * a - b * b));
}

// ---- limiter ----------------------------------------------------------------------------------

void FoldModel::calculateLimits() {
    const Tent left = measureTent<leftTent>();
    limitFootAndEdge<leftTent>(left, limitPeak<leftTent>(left));
    const Tent right = measureTent<rightTent>();
    limitFootAndEdge<rightTent>(right, limitPeak<rightTent>(right));
    limitMiddle(left, right);
    snapLimits();
}

template <const TentSide& side> FoldModel::Tent FoldModel::measureTent() {
    Tent tent;
    tent.tO = paperBetween(side.foot, side.peak);
    tent.tI = paperBetween(side.peak, middleLine);
    tent.edx = largestCompression(tent.tO, tent.tI);
    tent.dx = static_cast<float>(compressionOf<side>());
    if constexpr (side.edgeClampedWhileMeasured) {
        if (tent.dx < 0.0f) {
            _profile[side.edge].x = sheetEdgeX<side>();
            tent.dx = 0.0f;
        }
    }
    tent.folded = tent.dx > zeroRoom;
    return tent;
}

// Rooms count away from the line: outward toward the tent's sheet edge, inward toward the middle.
template <const TentSide& side> void FoldModel::setRooms(int line, double outward, double inward) {
    _limits[line].lower.x = std::min(-(side.left ? outward : inward), 0.0);
    _limits[line].upper.x = std::max(side.left ? inward : outward, 0.0);
}

// Sets the peak's bounds and returns its inward room.
template <const TentSide& side> float FoldModel::limitPeak(const Tent& tent) {
    const Parameters& p = _parameters;
    float footSpace = p.minimumSpaceFoot;
    float middleSpace = p.minimumSpaceMiddle;
    float signedCompression = 0.0f;
    if (tent.folded) {
        footSpace = minimumSpaceForAngle(p.maximumPeakSlopeOutside, p.minimumSpaceFoot, tent.dx,
                                         tent.tO, tent.tI);
        middleSpace = minimumSpaceForAngle(p.maximumPeakSlopeInside, p.minimumSpaceMiddle, tent.dx,
                                           tent.tI, tent.tO);
        signedCompression = direction<side>() * tent.dx;
    }
    const float outward = side.inwardDistance(x(side.foot), x(side.peak)) - footSpace;
    const float inward = side.inwardDistance(x(side.peak), x(middleLine)) - middleSpace;
    setRooms<side>(side.peak, outward, inward);
    _limits[side.peak].lower.y = std::min(-signedCompression - tent.edx, 0.0f);
    _limits[side.peak].upper.y = std::max(tent.edx - signedCompression, 0.0f);
    return std::max(inward, 0.0f);
}

// The edge may move in only while the foot and the peak can.
template <const TentSide& side>
void FoldModel::limitFootAndEdge(const Tent& tent, float peakInward) {
    const Parameters& p = _parameters;
    const double edgeX = side.footRoomFromTheRoundedEdge ? x(side.edge) : _profile[side.edge].x;
    float outward =
        static_cast<float>(side.inwardDistance(edgeX, _profile[side.foot].x) - p.minimumSpaceSide);
    double inward =
        side.inwardDistance(_profile[side.foot].x, _profile[side.peak].x) - p.minimumSpaceFoot;
    if (tent.folded) {
        const float spread = spreadStepForAngle(p.maximumPeakSlopeInside, p.minimumSpaceMiddle,
                                                tent.dx, tent.tI, tent.tO);
        outward = peakInward > 0.0f ? smallerRoom(spread, outward) : 0.0f;
        inward = narrowStepForAngle(p.maximumPeakSlopeOutside, p.minimumSpaceFoot, tent.dx, tent.tI,
                                    tent.tO);
    }
    setRooms<side>(side.foot, outward, inward);
    float edgeInward = 0.0f;
    if (inward > zeroRoom && peakInward > zeroRoom)
        edgeInward = std::max(tent.edx - tent.dx, 0.0f);
    setRooms<side>(side.edge, tent.dx, edgeInward);
}

// Unfolded, a tent sets no bound to its spreading; folded, its slopes' angles bound both ways.
template <const TentSide& side>
FoldModel::MiddleRoom FoldModel::middleRoomBeside(const Tent& tent) const {
    const Parameters& p = _parameters;
    if (!tent.folded)
        return {side.inwardDistance(x(side.peak), x(middleLine)) - p.minimumSpaceMiddle,
                std::numeric_limits<float>::infinity()};
    return {narrowStepForAngle(p.maximumPeakSlopeInside, p.minimumSpaceMiddle, tent.dx, tent.tO,
                               tent.tI),
            spreadStepForAngle(p.maximumPeakSlopeOutside, p.minimumSpaceFoot, tent.dx, tent.tO,
                               tent.tI)};
}

// The middle stays between 35 % and 65 % of the width. Moving right narrows the right tent and
// spreads the left one.
void FoldModel::limitMiddle(const Tent& left, const Tent& right) {
    const double width = _sheetSize.width;
    const float up = static_cast<float>(0.65 * width - _profile[middleLine].x);
    const float down = static_cast<float>(0.35 * width - _profile[middleLine].x);
    const MiddleRoom besideLeft = middleRoomBeside<leftTent>(left);
    const MiddleRoom besideRight = middleRoomBeside<rightTent>(right);
    const float lower = std::max({-besideLeft.toward, -besideRight.away, down});
    const float upper = std::min({besideRight.toward, besideLeft.away, up});
    _limits[middleLine].lower.x = std::min(lower, 0.0f);
    _limits[middleLine].upper.x = std::max(upper, 0.0f);
}

void FoldModel::snapLimits() {
    for (StepBounds& bounds : _limits) {
        if (bounds.lower.x > -zeroRoom)
            bounds.lower.x = 0.0;
        if (bounds.upper.x < zeroRoom)
            bounds.upper.x = 0.0;
    }
}
