// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/AnimationOptions.h"

#include "document/ExportOptions.h"
#include "settings/Preferences.h"

#include <algorithm>
#include <cmath>

AnimationOptions AnimationOptions::fromPreferences(const Preferences& preferences) {
    AnimationOptions options;
    options.pixelWidth =
        std::clamp(preferences.value(Preferences::animationPixelWidth),
                   ExportOptions::smallestPixelWidth, ExportOptions::largestPixelWidth);
    options.timing.duration = std::clamp(preferences.value(Preferences::animationDuration) / 1000.0,
                                         FoldMotion::shortestDuration, FoldMotion::longestDuration);
    options.timing.framesPerSecond =
        std::clamp(preferences.value(Preferences::animationFrameRate), FoldMotion::lowestFrameRate,
                   FoldMotion::highestFrameRate);
    options.timing.loop = preferences.value(Preferences::animationLoop);
    options.timing.ease = preferences.value(Preferences::animationEase);
    options.timing.sweep = std::clamp(preferences.value(Preferences::animationSweep), 0,
                                      int(2 * FoldMotion::largestYaw));
    options.startFoldFile = preferences.value(Preferences::animationStartFold);
    if (preferences.value(Preferences::animationTiltMoves))
        options.tiltFrom =
            float(std::clamp(preferences.value(Preferences::animationTiltFrom), -60, 60));
    return options;
}

void AnimationOptions::writeTo(Preferences& preferences) const {
    preferences.setValue(Preferences::animationPixelWidth, pixelWidth);
    preferences.setValue(Preferences::animationDuration, int(std::lround(timing.duration * 1000)));
    preferences.setValue(Preferences::animationFrameRate, timing.framesPerSecond);
    preferences.setValue(Preferences::animationLoop, timing.loop);
    preferences.setValue(Preferences::animationEase, timing.ease);
    preferences.setValue(Preferences::animationSweep, int(std::lround(timing.sweep)));
    preferences.setValue(Preferences::animationStartFold, startFoldFile);
    preferences.setValue(Preferences::animationTiltMoves, tiltFrom.has_value());
    if (tiltFrom)
        preferences.setValue(Preferences::animationTiltFrom, int(std::lround(*tiltFrom)));
}
