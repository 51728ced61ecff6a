// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldMotion.h"
#include "fold/FoldSnapshot.h"
#include "fold/FoldTypes.h"

#include <vector>

class PanelFoldModel;

// The frames of a sheet in a layout other than the classic moving from one of its folds to
// another. The creases move in proportion and every panel turns in proportion from its start angle
// to its end angle, so each panel keeps its length; the model then takes each tent's compression
// and side from that pose and builds the frame, so every frame is a fold the limits allow.
class PanelFoldMotion {
public:
    // start and end are folds of this sheet and layout (panelCreases and panelProfile); timing as
    // FoldMotion's. Without a loop the first frame is start and the last end, exactly.
    static std::vector<FoldSnapshot> frames(const PanelFoldModel& sheet, const FoldSnapshot& start,
                                            const FoldSnapshot& end,
                                            const FoldMotion::Timing& timing);

private:
    // As FoldMotion's, but a loop turns on the end fold whatever the count: with an odd count
    // the end fold shows on the two middle frames, as frame i and frame count - i are one.
    static double progressOfFrame(int index, int count, bool loop);
    // The pose at `along` (0..1) with each panel at its angle in between.
    static FoldSnapshot turnedAt(const FoldSnapshot& start, const FoldSnapshot& end, double along);
};
