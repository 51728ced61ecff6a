// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/FoldSnapshot.h"

#include "fold/FoldModel.h"
#include "fold/PanelFoldModel.h"

FoldSnapshot FoldSnapshot::take(const FoldModel& model, float pitch) {
    FoldSnapshot snapshot;
    snapshot.creasePoint = model.creases();
    snapshot.coordinates = model.profile();
    snapshot.leftDirection = model.leftDirection();
    snapshot.rightDirection = model.rightDirection();
    snapshot.pitch = pitch;
    return snapshot;
}

FoldSnapshot FoldSnapshot::take(const PanelFoldModel& model, float pitch) {
    FoldSnapshot snapshot;
    snapshot.pitch = pitch;
    snapshot.layout = model.layout();
    snapshot.panelCreases = model.creases();
    snapshot.panelProfile = model.profile();
    return snapshot;
}
