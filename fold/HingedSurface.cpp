// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/HingedSurface.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double degreesPerBendSegment = 15;

FoldPoint operator+(FoldPoint a, FoldPoint b) {
    return {a.x + b.x, a.y + b.y};
}
FoldPoint operator-(FoldPoint a, FoldPoint b) {
    return {a.x - b.x, a.y - b.y};
}
FoldPoint operator*(FoldPoint a, double s) {
    return {a.x * s, a.y * s};
}
double dot(FoldPoint a, FoldPoint b) {
    return a.x * b.x + a.y * b.y;
}
double cross(FoldPoint a, FoldPoint b) {
    return a.x * b.y - a.y * b.x;
}
FoldPoint leftNormal(FoldPoint v) {
    return {-v.y, v.x};
}
FoldPoint rotated(FoldPoint v, double cosine, double sine) {
    return {v.x * cosine - v.y * sine, v.x * sine + v.y * cosine};
}

double radians(double degrees) {
    return degrees * std::numbers::pi / 180;
}

double squaredToSegment(FoldPoint p, FoldPoint a, FoldPoint b) {
    const FoldPoint ab = b - a;
    const double length = dot(ab, ab);
    const double along = length > 0 ? std::clamp(dot(p - a, ab) / length, 0.0, 1.0) : 0.0;
    const FoldPoint off = p - (a + ab * along);
    return dot(off, off);
}

bool segmentsCross(FoldPoint a, FoldPoint b, FoldPoint c, FoldPoint d) {
    const double abC = cross(b - a, c - a), abD = cross(b - a, d - a);
    const double cdA = cross(d - c, a - c), cdB = cross(d - c, b - c);
    return ((abC > 0) != (abD > 0)) && ((cdA > 0) != (cdB > 0)) && abC != 0 && abD != 0 &&
           cdA != 0 && cdB != 0;
}

double squaredBetweenSegments(FoldPoint a, FoldPoint b, FoldPoint c, FoldPoint d) {
    if (segmentsCross(a, b, c, d))
        return 0;
    return std::min({squaredToSegment(a, c, d), squaredToSegment(b, c, d),
                     squaredToSegment(c, a, b), squaredToSegment(d, a, b)});
}

template <typename Box> Box boxAround(FoldPoint centre, double radius) {
    return {centre.x - radius, centre.y - radius, centre.x + radius, centre.y + radius};
}

bool apart(const auto& a, const auto& b, double distance) {
    return a.box.left - b.box.right >= distance || b.box.left - a.box.right >= distance ||
           a.box.bottom - b.box.top >= distance || b.box.bottom - a.box.top >= distance;
}

} // namespace

HingedSurface::HingedSurface(std::span<const double> widths, std::span<const double> angles,
                             std::span<const double> radii, int anchor)
    : _panels(static_cast<int>(widths.size())), _anchor(anchor) {
    for (int i = 0; i < _panels; ++i)
        _creases[i + 1] = _creases[i] + widths[i];
    for (int k = anchor; k + 1 < _panels; ++k)
        bendRightOf(k, angles[k], radii[k]);
    for (int k = anchor - 1; k >= 0; --k)
        bendLeftOf(k, angles[k], radii[k]);
    placeStraights();
}

void HingedSurface::turn(int crease, double degrees) {
    const bool rightOfAnchor = crease >= _anchor;
    const int nearest = rightOfAnchor ? crease + 1 : crease;
    const Frame before = _frames[nearest];
    if (rightOfAnchor)
        bendRightOf(crease, degrees, _bends[crease].radius);
    else
        bendLeftOf(crease, degrees, _bends[crease].radius);
    const Frame after = _frames[nearest];
    const double cosine = dot(before.direction, after.direction);
    const double sine = cross(before.direction, after.direction);
    const auto carried = [&](FoldPoint p) {
        return after.origin + rotated(p - before.origin, cosine, sine);
    };
    const int step = rightOfAnchor ? 1 : -1;
    for (int i = nearest + step; i >= 0 && i < _panels; i += step) {
        _frames[i] = {carried(_frames[i].origin), rotated(_frames[i].direction, cosine, sine)};
        Bend& bend = _bends[rightOfAnchor ? i - 1 : i];
        bend.sampled = false;
        if (bend.segments == 0) {
            bend.points[0] = carried(bend.points[0]);
            continue;
        }
        bend.start = carried(bend.start);
        bend.end = carried(bend.end);
        bend.centre = carried(bend.centre);
        bend.box = boxAround<Box>(bend.centre, bend.radius);
    }
    placeStraights();
}

FoldPoint HingedSurface::at(int panel, double paper) const {
    return _frames[panel].origin + _frames[panel].direction * paper;
}

void HingedSurface::bendRightOf(int crease, double degrees, double radius) {
    Bend& bend = _bends[crease];
    const Frame& from = _frames[crease];
    Frame& to = _frames[crease + 1];
    if (!placeBend(bend, crease, degrees, radius)) {
        to = from; // exactly the flat sheet's line
        bend.points[0] = at(crease, _creases[crease + 1]);
        return;
    }
    const double side = degrees > 0 ? 1 : -1;
    bend.start = at(crease, bend.startPaper);
    bend.centre = bend.start + leftNormal(from.direction) * (side * radius);
    bend.box = boxAround<Box>(bend.centre, radius);
    to.direction = rotated(from.direction, std::cos(bend.turn), std::sin(bend.turn));
    bend.end = bend.centre - leftNormal(to.direction) * (side * radius);
    to.origin = bend.end - to.direction * bend.endPaper;
}

void HingedSurface::bendLeftOf(int crease, double degrees, double radius) {
    Bend& bend = _bends[crease];
    const Frame& from = _frames[crease + 1];
    Frame& to = _frames[crease];
    if (!placeBend(bend, crease, degrees, radius)) {
        to = from;
        bend.points[0] = at(crease + 1, _creases[crease + 1]);
        return;
    }
    const double side = degrees > 0 ? 1 : -1;
    bend.end = at(crease + 1, bend.endPaper);
    bend.centre = bend.end + leftNormal(from.direction) * (side * radius);
    bend.box = boxAround<Box>(bend.centre, radius);
    to.direction = rotated(from.direction, std::cos(bend.turn), -std::sin(bend.turn));
    bend.start = bend.centre - leftNormal(to.direction) * (side * radius);
    to.origin = bend.start - to.direction * bend.startPaper;
}

// The paper the bend takes, and its number of segments: none when flat, and an even count so
// that the bend's middle, where the crease line is, falls on a point.
bool HingedSurface::placeBend(Bend& bend, int crease, double degrees, double radius) {
    const double half = radius * radians(std::abs(degrees)) / 2;
    bend.startPaper = _creases[crease + 1] - half;
    bend.endPaper = _creases[crease + 1] + half;
    bend.radius = radius;
    bend.turn = radians(degrees);
    bend.sampled = false;
    if (degrees == 0) {
        bend.segments = 0;
        return false;
    }
    const int segments = std::max(2, int(std::ceil(std::abs(degrees) / degreesPerBendSegment)));
    bend.segments = segments + segments % 2;
    return true;
}

// Most pairs of parts lie apart by their boxes alone, so a bend's points are worked out only
// once a pair needs them.
const HingedSurface::Bend& HingedSurface::sampled(const Bend& bend) const {
    if (bend.sampled || bend.segments == 0)
        return bend;
    const double step = bend.turn / bend.segments;
    const double cosine = std::cos(step), sine = std::sin(step);
    FoldPoint spoke = bend.start - bend.centre;
    bend.points[0] = bend.start;
    for (int j = 1; j < bend.segments; ++j) {
        spoke = rotated(spoke, cosine, sine);
        bend.points[j] = bend.centre + spoke;
    }
    bend.points[bend.segments] = bend.end;
    bend.sampled = true;
    return bend;
}

void HingedSurface::placeStraights() {
    _straightsFit = true;
    for (int i = 0; i < _panels; ++i) {
        const double from = i == 0 ? 0.0 : _bends[i - 1].endPaper;
        const double to = i + 1 == _panels ? _creases[_panels] : _bends[i].startPaper;
        _straightsFit = _straightsFit && to >= from;
        Straight& s = _straights[i];
        s.start = at(i, from);
        s.end = at(i, to);
        s.box = {std::min(s.start.x, s.end.x), std::min(s.start.y, s.end.y),
                 std::max(s.start.x, s.end.x), std::max(s.start.y, s.end.y)};
    }
}

bool HingedSurface::keepsApart(double distance, int turned) const {
    Contact none;
    return keepsApart(distance, turned, none);
}

bool HingedSurface::keepsApart(double distance, int turned, Contact& lastContact) const {
    if (!_straightsFit)
        return false;
    if (lastContact.second >= 0 &&
        !elementsKeepApart(lastContact.first, lastContact.second, distance))
        return false;
    const int elements = 2 * _panels - 1;
    for (int first = 0; first < elements; ++first) {
        for (int second = first + 3; second < elements; ++second) {
            // The turned crease's bend and the straight parts either side of it change.
            const bool sameSide = turned >= 0 && (second < 2 * turned || first > 2 * turned + 2);
            if (!sameSide && !elementsKeepApart(first, second, distance)) {
                lastContact = {first, second};
                return false;
            }
        }
    }
    return true;
}

bool HingedSurface::elementsKeepApart(int first, int second, double distance) const {
    const bool firstStraight = first % 2 == 0, secondStraight = second % 2 == 0;
    if (firstStraight && secondStraight) {
        const Straight& a = _straights[first / 2];
        const Straight& b = _straights[second / 2];
        return apart(a, b, distance) ||
               squaredBetweenSegments(a.start, a.end, b.start, b.end) >= distance * distance;
    }
    if (firstStraight || secondStraight) {
        const Straight& s = _straights[(firstStraight ? first : second) / 2];
        const Bend& bend = _bends[(firstStraight ? second : first) / 2];
        return bend.segments == 0 || apart(s, bend, distance) ||
               straightClearsBend(s, sampled(bend), distance);
    }
    const Bend& a = _bends[first / 2];
    const Bend& b = _bends[second / 2];
    return a.segments == 0 || b.segments == 0 || apart(a, b, distance) ||
           bendsClear(sampled(a), sampled(b), distance);
}

// Every point of a bend lies on its circle, so the circle's distance bounds theirs from below and
// spares the sampling where the circle is clear.
bool HingedSurface::straightClearsBend(const Straight& straight, const Bend& bend,
                                       double distance) const {
    const double toCentre = std::sqrt(squaredToSegment(bend.centre, straight.start, straight.end));
    const FoldPoint start = straight.start - bend.centre, end = straight.end - bend.centre;
    const double farthest = std::sqrt(std::max(dot(start, start), dot(end, end)));
    if (toCentre - bend.radius >= distance || bend.radius - farthest >= distance)
        return true;
    for (int j = 0; j <= bend.segments; ++j) {
        if (squaredToSegment(bend.points[j], straight.start, straight.end) < distance * distance)
            return false;
    }
    return true;
}

bool HingedSurface::bendsClear(const Bend& a, const Bend& b, double distance) const {
    for (int i = 0; i <= a.segments; ++i) {
        const FoldPoint toCentre = a.points[i] - b.centre;
        if (std::abs(std::sqrt(dot(toCentre, toCentre)) - b.radius) >= distance)
            continue;
        for (int j = 0; j <= b.segments; ++j) {
            const FoldPoint off = a.points[i] - b.points[j];
            if (dot(off, off) < distance * distance)
                return false;
        }
    }
    return true;
}

std::vector<FoldPoint> HingedSurface::lines() const {
    std::vector<FoldPoint> lines{at(0, 0)};
    for (int k = 0; k + 1 < _panels; ++k)
        lines.push_back(sampled(_bends[k]).points[_bends[k].segments / 2]);
    lines.push_back(at(_panels - 1, _creases[_panels]));
    return lines;
}

std::vector<HingedFold::SurfacePoint> HingedSurface::points() const {
    std::vector<HingedFold::SurfacePoint> points{{0, at(0, 0)}};
    for (int k = 0; k + 1 < _panels; ++k) {
        const Bend& bend = sampled(_bends[k]);
        if (bend.segments == 0) {
            points.push_back({_creases[k + 1], bend.points[0]});
            continue;
        }
        const double paperStep = (bend.endPaper - bend.startPaper) / bend.segments;
        for (int j = 0; j < bend.segments; ++j)
            points.push_back({bend.startPaper + paperStep * j, bend.points[j]});
        points.push_back({bend.endPaper, bend.points[bend.segments]});
    }
    points.push_back({_creases[_panels], at(_panels - 1, _creases[_panels])});
    return points;
}
