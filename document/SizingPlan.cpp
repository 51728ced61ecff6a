// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/SizingPlan.h"

#include <cmath>

SizingPlan SizingPlan::forPicture(const SheetSizing& sizing, QSize picturePixels,
                                  const FoldLayout& layout) {
    return SizingPlan(picturePixels, sizing.displaySize(picturePixels, layout), layout);
}

SizingPlan::SizingPlan(QSize picturePixels, FoldSize sheet, const FoldLayout& layout, bool turned)
    : _picturePixels(picturePixels), _sheet(sheet),
      _window(SheetSizing::windowSize(sheet, layout, turned)),
      _windowPoints(int(_window.width), int(_window.height)) {}

QSize SizingPlan::exportPixels(const ExportOptions& options) const {
    return options.pixelSize(_windowPoints);
}

double SizingPlan::exportPixelsPerPoint(const ExportOptions& options) const {
    return double(exportPixels(options).width()) / _windowPoints.width();
}

QSize SizingPlan::exportDecodePixels(const ExportOptions& options) const {
    const double scale = exportPixelsPerPoint(options);
    return QSize(int(std::ceil(_sheet.width * scale)), int(std::ceil(_sheet.height * scale)));
}
