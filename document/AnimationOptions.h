// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldMotion.h"

#include <QString>

#include <optional>

class Preferences;

// What an animation made from the window asks beyond Export's options: its width, its timing and
// where the move starts. Remembered in the preferences.
struct AnimationOptions {
    int pixelWidth = 1080;
    FoldMotion::Timing timing;
    QString startFoldFile;         // empty: the flat sheet
    std::optional<float> tiltFrom; // degrees; else the tilt does not move

    static AnimationOptions fromPreferences(const Preferences& preferences);
    void writeTo(Preferences& preferences) const;
};
