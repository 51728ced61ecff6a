// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/FoldSnapshot.h"

#include "fold/FoldModel.h"

FoldSnapshot FoldSnapshot::take(const FoldModel& model, float pitch) {
    return {model.creases(), model.profile(), model.leftDirection(), model.rightDirection(), pitch};
}
