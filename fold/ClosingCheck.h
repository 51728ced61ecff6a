// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"

#include <vector>

// Whether a hinged leaflet closes flat at its widths and the paper's thickness: each panel that
// folds in must be narrow enough to lie inside the bends around it.
class ClosingCheck {
public:
    struct PanelFit {
        int panel = 0;
        double largestWidth = 0; // the widest it may be, the other panels as they are
        double excess = 0;       // its width less that: above 0 it does not fit

        bool operator==(const PanelFit&) const = default;
    };

    ClosingCheck(FoldLayout layout, std::vector<double> widths, double thickness);

    const std::vector<PanelFit>& fits() const { return _fits; }
    bool closes() const;

private:
    static double largestWidth(const FoldLayout& layout, std::vector<double> widths, int panel,
                               double thickness);

    std::vector<PanelFit> _fits;
};
