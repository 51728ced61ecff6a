// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/HingedFoldTarget.h"

#include "fold/SheetFold.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

HingedFoldTarget HingedFoldTarget::fromFold(const SheetFold& fold, float pitch) {
    const HingedFold& hinged = *fold.hinged();
    HingedFoldTarget target;
    target.layout = fold.layout();
    target.paper = fold.paper();
    target.paper.widths = hinged.widths();
    for (double& width : target.paper.widths)
        width /= hinged.length();
    target.widthsFixed = hinged.widthsFixed();
    target.angles = hinged.angles();
    target.pitch = pitch;
    return target;
}

bool HingedFoldTarget::isWhole() const {
    const auto& widths = paper.widths;
    if (!layout.isHinged() || int(widths.size()) != layout.panelCount() ||
        angles.size() + 1 != widths.size())
        return false;
    for (const double width : widths)
        if (!(width > 0.0))
            return false;
    for (const double angle : angles)
        if (!(std::abs(angle) <= 180.0))
            return false;
    return std::abs(std::accumulate(widths.begin(), widths.end(), 0.0) - 1.0) <= 1e-9;
}

double HingedFoldTarget::applyTo(SheetFold& fold) const {
    PanelPaper given = paper;
    if (!widthsFixed)
        given.widths.clear();
    fold = SheetFold(layout, fold.sheetSize(), given);
    HingedFold& hinged = *fold.hinged();
    if (!widthsFixed) {
        // Widths moved by hand are kept, though not fixed.
        std::vector<double> widths = paper.widths;
        for (double& width : widths)
            width *= hinged.length();
        HingedFold moved(layout, widths, hinged.thickness());
        if (moved.widths() == widths)
            hinged = moved;
    }
    if (hinged.setAngles(angles))
        return 0.0;
    // As a user would: each crease turned as far as the paper lets it.
    double farthest = 0.0;
    for (std::size_t crease = 0; crease < angles.size(); ++crease) {
        const double wanted = angles[crease] - hinged.angles()[crease];
        const double missed = wanted - hinged.turnCrease(int(crease), wanted);
        const double reach = std::max(hinged.widths()[crease], hinged.widths()[crease + 1]);
        farthest = std::max(farthest, std::abs(missed) * std::numbers::pi / 180.0 * reach);
    }
    return farthest;
}
