// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"
#include "fold/FoldTypes.h"

#include <span>
#include <vector>

// The fold of a sheet of rigid panels hinged at parallel creases, as printers fold leaflets.
// Panels are numbered from 0 at the sheet's first edge (left, or top for horizontal creases) and
// crease k joins panels k and k + 1. Each crease has a fold angle in degrees from -180 to 180: 0
// is flat, negative a mountain as seen from the front (the panel beyond turns away from the
// viewer), positive a valley. The anchor panel stays where it lies on the flat sheet.
//
// The paper has a thickness: a crease bends on a circle whose radius grows with the layers it
// holds when closed, and the bend takes its paper from the two panels it joins, so every panel
// keeps its flat width. Positions run along the sheet's length from its first edge, heights
// toward the viewer; every length is in sheet units.
class HingedFold {
public:
    enum class Pose { flat, presentation, closed };

    // A point of the drawn surface: where it lies and how far along the flat sheet its paper is.
    struct SurfacePoint {
        double paper = 0.0;
        FoldPoint at;

        bool operator==(const SurfacePoint&) const = default;
    };

    // The layout's own widths on a sheet this long, each panel that folds in narrower by the
    // allowance for every level it nests; they sum to the length.
    static std::vector<double> presetWidths(const FoldLayout& layout, double length,
                                            double allowance);

    // widths: one per panel, summing to the sheet's length; thickness in sheet units. A layout
    // that is not hinged, or widths of another count, give the preset's widths on a sheet one
    // unit long. Starts flat.
    HingedFold(FoldLayout layout, std::vector<double> widths, double thickness);

    const FoldLayout& layout() const { return _layout; }
    int panelCount() const { return static_cast<int>(_widths.size()); }
    const std::vector<double>& widths() const { return _widths; }
    double length() const;
    double thickness() const { return _thickness; }
    int anchorPanel() const;
    // Whether dragging a crease along the sheet may change the widths; false once the user has
    // given them.
    bool widthsFixed() const { return _widthsFixed; }
    void setWidthsFixed(bool fixed) { _widthsFixed = fixed; }

    // One angle per crease, in degrees.
    const std::vector<double>& angles() const { return _angles; }
    // The angles of a pose of this layout: flat, its presentation (part-open, reading at once)
    // or closed flat.
    std::vector<double> poseAngles(Pose pose) const;
    // Puts these angles on the sheet if the paper allows them; false, changing nothing, if not.
    bool setAngles(const std::vector<double>& angles);

    // Turns one crease by `degrees` as far as the paper allows and returns the part applied: the
    // turn stops at contact, or at ±180 degrees.
    double turnCrease(int crease, double degrees);
    // Moves a crease along the flat sheet by `step` as far as the shortest panel and the paper
    // allow, and returns the part applied; nothing while the widths are fixed.
    double moveCrease(int crease, double step);

    // The lines, edges included, one per crease and two for the edges (panelCount() + 1): their
    // positions along the flat sheet, and where each lies now (a crease at the middle of its bend).
    std::vector<double> creases() const;
    std::vector<FoldPoint> profile() const;
    // The drawn surface in order from the first edge, the bends as several points. Flat, it is
    // the lines' profile exactly.
    std::vector<SurfacePoint> surface() const;

    // Whether these angles keep the paper whole: no two parts of the surface that are not
    // neighbours closer than the thickness (less a millionth of the sheet), each angle within
    // ±180 degrees.
    bool allows(const std::vector<double>& angles) const;
    // How far any point of the sheet can lie from the sheet's plane, toward or away from the
    // viewer, at any pose: the window is made to hold that.
    double reach() const;
    // The reach of the layout's own widths on a sheet this long, which its window is made for.
    static double presetReach(const FoldLayout& layout, double length);

    bool operator==(const HingedFold&) const = default;

private:
    // Whether the sheet would keep whole with these widths and angles.
    bool fits(std::span<const double> widths, std::span<const double> angles) const;
    // How near two parts of a sheet this long may come.
    double closestApproach(double length) const;
    double shortestPanel() const;

    FoldLayout _layout;
    std::vector<double> _widths;
    std::vector<double> _angles;
    double _thickness;
    bool _widthsFixed = false;
    // Per crease, the bend's radius from the layers it holds closed.
    std::vector<double> _radii;
    int _anchor = 0;
};
