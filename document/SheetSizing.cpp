// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/SheetSizing.h"

#include "fold/FoldModel.h"

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

FoldSize SheetSizing::displaySize(QSize pixelSize) const {
    return FoldModel::sheetSizeForPicture({double(pixelSize.width()), double(pixelSize.height())},
                                          _screen);
}

QSize SheetSizing::decodeSize(QSize pixelSize) const {
    const FoldSize sheet = displaySize(pixelSize);
    return QSize(int(std::ceil(sheet.width * _scale)), int(std::ceil(sheet.height * _scale)));
}
