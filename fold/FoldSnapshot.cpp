// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/FoldSnapshot.h"

#include "fold/FoldModel.h"

FoldSnapshot FoldSnapshot::take(const FoldModel& model, float pitch) {
    return {model._creases, model._profile, model._leftDirection, model._rightDirection, pitch};
}

void FoldSnapshot::restoreTo(FoldModel& model) const {
    model._creases = creasePoint;
    model._profile = coordinates;
    model._leftDirection = leftDirection;
    model._rightDirection = rightDirection;
    model.calculateLimits();
}
