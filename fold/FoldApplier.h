// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldSnapshot.h"

class FoldModel;

// Brings a sheet to a wanted fold the way a user would: by drag steps of the movement solver
// from the flat sheet, so the limiter bounds every step. Meant for folds made on sheets of other
// sizes, which this sheet may not allow; such a fold ends as near as the bounds let it.
class FoldApplier {
public:
    // Leaves the model at the fold reached and returns its distance from the wanted one: the
    // largest distance of a crease or a profile vertex, in sheet units, 0 when reached. The
    // wanted pitch is the caller's to set.
    static double apply(FoldModel& model, const FoldSnapshot& wanted);
    // Drag steps from the model's fold as it is, toward the wanted one, as far as the bounds let
    // them go. True when the creases and compressions reached it, up to what a drag resolves.
    static bool approach(FoldModel& model, const FoldSnapshot& wanted);

private:
    static void drive(FoldModel& model, const FoldSnapshot& wanted);
    static bool stepToward(FoldModel& model, const FoldSnapshot& wanted);
    // Both tents' compression steps; false when neither moved.
    static bool compress(FoldModel& model, const FoldSnapshot& wanted);
    static double horizontalStep(const FoldModel& model, const FoldSnapshot& wanted, int line);
    static FoldModel viaPeakCrease(FoldModel model, const FoldSnapshot& wanted, int line,
                                   double fraction);
    static double unresolved(const FoldModel& model, const FoldSnapshot& wanted);
    static double distance(const FoldModel& model, const FoldSnapshot& wanted);
};
