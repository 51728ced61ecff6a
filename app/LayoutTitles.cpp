// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LayoutTitles.h"

QString LayoutTitles::title(const FoldLayout& layout) {
    switch (layout.shape()) {
    case FoldLayout::Shape::twoTents:
        return tr("Two Tents");
    case FoldLayout::Shape::tent:
        return tr("Tent");
    case FoldLayout::Shape::letter:
        return tr("Letter");
    case FoldLayout::Shape::roll:
        return tr("Roll of 4");
    case FoldLayout::Shape::gate:
        return tr("Gate");
    case FoldLayout::Shape::doubleGate:
        return tr("Double Gate");
    case FoldLayout::Shape::doubleParallel:
        return tr("Double Parallel");
    case FoldLayout::Shape::accordion:
        break;
    }
    switch (layout.panelCount()) {
    case 2:
        return tr("Card");
    case 3:
        return tr("Z-Fold");
    default:
        return tr("Accordion of %1").arg(layout.panelCount());
    }
}
