// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"
#include "fold/FoldTypes.h"
#include "fold/HingedFold.h"

#include <array>
#include <span>
#include <vector>

// Where the panels and bends of a hinged fold lie: each panel is a straight part, each bent crease
// a circular arc that takes half its paper from either panel. Built on the stack, so that testing
// a pose allocates nothing.
class HingedSurface {
public:
    static constexpr int mostPanels = FoldLayout::mostAccordionPanels;
    // 180 degrees in steps of 15, plus the start.
    static constexpr int mostBendPoints = 13;

    // Widths at most mostPanels; angles in degrees and radii, one per crease.
    HingedSurface(std::span<const double> widths, std::span<const double> angles,
                  std::span<const double> radii, int anchor);

    // Puts one crease at `degrees`: its bend anew, and every part beyond it, seen from the
    // anchor, carried along rigidly, which spares working out their bends again.
    void turn(int crease, double degrees);

    // Two parts found too close, tried first next time: the turns of one step meet the same
    // contact again and again.
    struct Contact {
        int first = -1, second = -1;
    };

    // No straight part shorter than nothing, and no two parts that are not chain neighbours
    // closer than `distance`. When only crease `turned` changed from a pose that kept apart, the
    // parts on either side of it still do among themselves, and only the pairs across it count.
    bool keepsApart(double distance, int turned = -1) const;
    bool keepsApart(double distance, int turned, Contact& lastContact) const;
    std::vector<FoldPoint> lines() const;
    std::vector<HingedFold::SurfacePoint> points() const;

private:
    struct Box {
        double left, bottom, right, top;
    };
    // A panel's line: paper p of it lies at origin + direction * p.
    struct Frame {
        FoldPoint origin;
        FoldPoint direction{1, 0};
    };
    struct Straight {
        FoldPoint start, end;
        Box box;
    };
    struct Bend {
        double startPaper = 0, endPaper = 0;
        int segments = 0; // none when flat
        double turn = 0;  // radians
        FoldPoint start, end, centre;
        double radius = 0;
        Box box{};
        mutable bool sampled = false;
        mutable std::array<FoldPoint, mostBendPoints> points{};
    };

    FoldPoint at(int panel, double paper) const;
    void bendRightOf(int crease, double degrees, double radius);
    void bendLeftOf(int crease, double degrees, double radius);
    bool placeBend(Bend& bend, int crease, double degrees, double radius);
    const Bend& sampled(const Bend& bend) const;
    void placeStraights();
    // The parts in chain order: panel i is 2i, crease k is 2k + 1.
    bool elementsKeepApart(int first, int second, double distance) const;
    bool straightClearsBend(const Straight& straight, const Bend& bend, double distance) const;
    bool bendsClear(const Bend& a, const Bend& b, double distance) const;

    int _panels;
    int _anchor;
    std::array<double, mostPanels + 1> _creases{};
    std::array<Frame, mostPanels> _frames{};
    std::array<Bend, mostPanels - 1> _bends{};
    std::array<Straight, mostPanels> _straights{};
    bool _straightsFit = true;
};
