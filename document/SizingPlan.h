// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/ExportOptions.h"
#include "document/SheetSizing.h"
#include "fold/FoldLayout.h"
#include "fold/FoldTypes.h"

#include <QSize>

// One picture's sizes, worked out once and handed on: the picture's pixels, its sheet in points,
// the window that holds the sheet in its layout at every pose and tilt, and from that window an
// export's pixels. The window, Copy, Export, animations and the command line all size from it.
class SizingPlan {
public:
    // The sheet the sizing rules give the picture in that layout.
    static SizingPlan forPicture(const SheetSizing& sizing, QSize picturePixels,
                                 const FoldLayout& layout);
    // A sheet already chosen, as a document keeps it across changes of layout; turned: its window
    // holds the sheet at every yaw too.
    SizingPlan(QSize picturePixels, FoldSize sheet, const FoldLayout& layout, bool turned = false);

    QSize picturePixels() const { return _picturePixels; }
    FoldSize sheet() const { return _sheet; }
    // The window in points, and in whole points as windows and renderers take it.
    FoldSize window() const { return _window; }
    QSize windowPoints() const { return _windowPoints; }

    QSize exportPixels(const ExportOptions& options) const;
    double exportPixelsPerPoint(const ExportOptions& options) const;
    // The most pixels of the picture an export can show: what is worth decoding for it.
    QSize exportDecodePixels(const ExportOptions& options) const;

private:
    QSize _picturePixels;
    FoldSize _sheet;
    FoldSize _window;
    QSize _windowPoints;
};
