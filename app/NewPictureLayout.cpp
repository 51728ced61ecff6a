// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/NewPictureLayout.h"

#include "settings/Preferences.h"

FoldLayout NewPictureLayout::of(const Preferences& preferences) {
    const auto axis = preferences.value(Preferences::newPictureHorizontal)
                          ? FoldLayout::Axis::horizontal
                          : FoldLayout::Axis::vertical;
    return FoldLayout::fromName(preferences.value(Preferences::newPictureLayout).toStdString(),
                                axis)
        .value_or(FoldLayout());
}
