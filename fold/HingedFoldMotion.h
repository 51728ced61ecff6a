// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldMotion.h"
#include "fold/HingedFold.h"

#include <vector>

// The frames of a hinged leaflet opening or closing. The creases move in the order they are
// folded, one step after the other (opening, in the reverse order), and a frame that would pass
// paper through paper stops each crease at contact instead, so every frame is one the sheet
// allows.
class HingedFoldMotion {
public:
    // One angle vector per frame; start and end hold one angle per crease of `fold`. Without a
    // loop the first frame is start and the last end, when the paper allows them.
    static std::vector<std::vector<double>> frames(const HingedFold& fold,
                                                   const std::vector<double>& start,
                                                   const std::vector<double>& end,
                                                   const FoldMotion::Timing& timing);

private:
    // The angles at `along` (0..1): each crease moves during its own step of the order.
    static std::vector<double> wantedAt(const std::vector<int>& stages, int stageCount,
                                        const std::vector<double>& start,
                                        const std::vector<double>& end, double along);
    // Brings the sheet to the wanted angles or as near as the paper lets it, earliest stage first.
    static void stepTo(HingedFold& sheet, const std::vector<double>& wanted,
                       const std::vector<int>& stages);
};
