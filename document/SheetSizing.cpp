// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/SheetSizing.h"

#include "document/Document.h"
#include "fold/FoldWindowSize.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

SheetSizing SheetSizing::ofFirstScreen() {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return SheetSizing(std::nullopt, 1.0);
    const QScreen* screen = screens.first();
    const QSize available = screen->availableGeometry().size();
    return SheetSizing(FoldScreen{double(screen->geometry().height()),
                                  {double(available.width()), double(available.height())}},
                       screen->devicePixelRatio());
}

SheetSizing::SheetSizing(std::optional<FoldScreen> screen, double scale)
    : _screen(screen), _scale(scale) {}

FoldSize SheetSizing::displaySize(QSize pixelSize, const FoldLayout& layout) const {
    return FoldWindowSize::sheetForPicture(layout,
                                           {double(pixelSize.width()), double(pixelSize.height())},
                                           _screen, {Document::maximumPitch});
}

QSize SheetSizing::decodeSize(QSize pixelSize, const FoldLayout& layout) const {
    const FoldSize sheet = displaySize(pixelSize, layout);
    return QSize(int(std::ceil(sheet.width * _scale)), int(std::ceil(sheet.height * _scale)));
}

FoldSize SheetSizing::windowSize(FoldSize sheetSize, const FoldLayout& layout, bool turned) {
    return FoldWindowSize::forSheet(layout, sheetSize,
                                    {Document::maximumPitch, turned ? Document::maximumYaw : 0.0});
}

bool SheetSizing::fits(FoldSize window) const {
    if (!_screen)
        return true;
    const FoldSize& available = _screen->available;
    return (available.width <= 0 || std::floor(window.width) <= available.width) &&
           (available.height <= 0 || std::floor(window.height) <= available.height);
}

FoldSize SheetSizing::sheetInLayout(FoldSize sheetSize, QSize pixelSize,
                                    const FoldLayout& layout) const {
    if (fits(windowSize(sheetSize, layout)))
        return sheetSize;
    return displaySize(pixelSize, layout);
}
