// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The limits of a panel fold, after the classic's: a shortest panel, a steepest panel (measured
// from the sheet's plane) and a highest point toward or away from the viewer. Lengths are in
// sheet units; the sheet's length runs across the creases, its breadth along them.
class PanelFoldLimits {
public:
    PanelFoldLimits(double length, double breadth, int panelCount);

    double shortestPanel() const { return _shortestPanel; }
    // The cosine of the steepest angle a panel may make with the sheet's plane.
    double slopeFactor() const { return _slopeFactor; }
    double highestPoint() const { return _highestPoint; }

    // How far a tent of two panels may be pushed together: the paper it can take up before either
    // panel passes the steepest angle or its peak the highest point.
    double largestTentCompression(double first, double second) const;
    // The same for a panel rising from the sheet's plane to a free edge.
    double largestFreeCompression(double panel) const;

private:
    double narrowestBaseFor(double slope, double other) const;

    double _shortestPanel;
    double _slopeFactor;
    double _highestPoint;
};
