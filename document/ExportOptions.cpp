// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/ExportOptions.h"

#include "settings/PreferencesDefaults.h"

#include <algorithm>
#include <cmath>

ExportOptions ExportOptions::fromDefaults(const PreferencesDefaults& defaults) {
    ExportOptions options;
    options.scale = std::clamp(defaults.intForKey(DefaultsKey::exportScale), 0, largestScale);
    options.pixelWidth = std::clamp(defaults.intForKey(DefaultsKey::exportPixelWidth),
                                    smallestPixelWidth, largestPixelWidth);
    options.withShadow = defaults.exportWithShadow();
    options.withCreaseLine = defaults.exportWithCreaseLine();
    options.transparentBackground = defaults.boolForKey(DefaultsKey::exportTransparentBackground);
    options.backgroundColor = defaults.colorForKey(DefaultsKey::exportBackgroundColor);
    options.backgroundColor.setAlpha(255);
    return options;
}

void ExportOptions::writeTo(PreferencesDefaults& defaults) const {
    defaults.setInt(DefaultsKey::exportScale, scale);
    defaults.setInt(DefaultsKey::exportPixelWidth, pixelWidth);
    defaults.setBool(DefaultsKey::exportWithShadow, withShadow);
    defaults.setBool(DefaultsKey::exportWithCreaseLine, withCreaseLine);
    defaults.setBool(DefaultsKey::exportTransparentBackground, transparentBackground);
    defaults.setColor(DefaultsKey::exportBackgroundColor, backgroundColor);
}

QSize ExportOptions::pixelSize(QSize windowSize) const {
    if (windowSize.isEmpty())
        return {};
    if (scale > 0)
        return windowSize * scale;
    const double height = double(pixelWidth) * windowSize.height() / windowSize.width();
    return QSize(pixelWidth, std::max(1, int(std::lround(height))));
}
