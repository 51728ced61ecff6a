// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"
#include "fold/FoldTypes.h"

#include <QSize>
#include <optional>

// Sizes a document's sheet from its picture's pixel size. Takes the screen's measures on the GUI
// thread, so that a picture can then be sized and decoded for its document on any thread.
class SheetSizing {
public:
    // The first screen, where documents open; no screen means no limit.
    static SheetSizing ofFirstScreen();
    SheetSizing(std::optional<FoldScreen> screen, double scale);

    // The sheet in points, by the sizing rules: its window in that layout fits the screen.
    FoldSize displaySize(QSize pixelSize, const FoldLayout& layout = FoldLayout()) const;
    // The most pixels the sheet shows of a picture: its size in device pixels, rounded up.
    QSize decodeSize(QSize pixelSize, const FoldLayout& layout = FoldLayout()) const;
    // The window that holds a sheet in a layout at every pose and tilt, and at every yaw when
    // turned; unturned windows stay as small as the tilt allows.
    static FoldSize windowSize(FoldSize sheetSize, const FoldLayout& layout, bool turned = false);
    // Whether a window of that size (truncated to whole points, as windows are) fits the screen's
    // available area; any window fits without a screen.
    bool fits(FoldSize window) const;
    // The sheet a picture shown at sheetSize takes in a layout: the same while that layout's
    // window for it fits the screen, else the size the sizing rules give the picture there.
    FoldSize sheetInLayout(FoldSize sheetSize, QSize pixelSize, const FoldLayout& layout) const;
    double scale() const { return _scale; }

private:
    std::optional<FoldScreen> _screen;
    double _scale = 1.0;
};
