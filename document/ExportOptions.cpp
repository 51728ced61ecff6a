// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/ExportOptions.h"

#include "settings/Preferences.h"

#include <algorithm>
#include <cmath>

ExportOptions ExportOptions::fromPreferences(const Preferences& preferences) {
    ExportOptions options;
    options.scale = std::clamp(preferences.value(Preferences::exportScale), 0, largestScale);
    options.pixelWidth = std::clamp(preferences.value(Preferences::exportPixelWidth),
                                    smallestPixelWidth, largestPixelWidth);
    options.withShadow = preferences.value(Preferences::exportWithShadow);
    options.withCreaseLine = preferences.value(Preferences::exportWithCreaseLine);
    options.transparentBackground = preferences.value(Preferences::exportTransparentBackground);
    options.backgroundColor = preferences.value(Preferences::exportBackgroundColor);
    options.backgroundColor.setAlpha(255);
    return options;
}

void ExportOptions::writeTo(Preferences& preferences) const {
    preferences.setValue(Preferences::exportScale, scale);
    preferences.setValue(Preferences::exportPixelWidth, pixelWidth);
    preferences.setValue(Preferences::exportWithShadow, withShadow);
    preferences.setValue(Preferences::exportWithCreaseLine, withCreaseLine);
    preferences.setValue(Preferences::exportTransparentBackground, transparentBackground);
    preferences.setValue(Preferences::exportBackgroundColor, backgroundColor);
}

QSize ExportOptions::pixelSize(QSize windowSize) const {
    if (windowSize.isEmpty())
        return {};
    if (scale > 0)
        return windowSize * scale;
    const double height = double(pixelWidth) * windowSize.height() / windowSize.width();
    return QSize(pixelWidth, std::max(1, int(std::lround(height))));
}
