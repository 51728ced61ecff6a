// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/AnimationOptions.h"

#include "document/ExportOptions.h"
#include "settings/PreferencesDefaults.h"

#include <algorithm>
#include <cmath>

AnimationOptions AnimationOptions::fromDefaults(const PreferencesDefaults& defaults) {
    AnimationOptions options;
    options.pixelWidth =
        std::clamp(defaults.intForKey(DefaultsKey::animationPixelWidth),
                   ExportOptions::smallestPixelWidth, ExportOptions::largestPixelWidth);
    options.timing.duration =
        std::clamp(defaults.intForKey(DefaultsKey::animationDuration) / 1000.0,
                   FoldMotion::shortestDuration, FoldMotion::longestDuration);
    options.timing.framesPerSecond =
        std::clamp(defaults.intForKey(DefaultsKey::animationFrameRate), FoldMotion::lowestFrameRate,
                   FoldMotion::highestFrameRate);
    options.timing.loop = defaults.boolForKey(DefaultsKey::animationLoop);
    options.timing.ease = defaults.boolForKey(DefaultsKey::animationEase);
    options.startFoldFile = defaults.stringForKey(DefaultsKey::animationStartFold);
    if (defaults.boolForKey(DefaultsKey::animationTiltMoves))
        options.tiltFrom =
            float(std::clamp(defaults.intForKey(DefaultsKey::animationTiltFrom), -60, 60));
    return options;
}

void AnimationOptions::writeTo(PreferencesDefaults& defaults) const {
    defaults.setInt(DefaultsKey::animationPixelWidth, pixelWidth);
    defaults.setInt(DefaultsKey::animationDuration, int(std::lround(timing.duration * 1000)));
    defaults.setInt(DefaultsKey::animationFrameRate, timing.framesPerSecond);
    defaults.setBool(DefaultsKey::animationLoop, timing.loop);
    defaults.setBool(DefaultsKey::animationEase, timing.ease);
    defaults.setString(DefaultsKey::animationStartFold, startFoldFile);
    defaults.setBool(DefaultsKey::animationTiltMoves, tiltFrom.has_value());
    if (tiltFrom)
        defaults.setInt(DefaultsKey::animationTiltFrom, int(std::lround(*tiltFrom)));
}
