// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"

#include <QCoreApplication>
#include <QString>

// The layouts as the menus and the preferences window call them: words, not file names.
class LayoutTitles {
    Q_DECLARE_TR_FUNCTIONS(LayoutTitles)

public:
    // "Two Tents", "Tent", "Card", "Z-Fold", "Accordion of 4"...
    static QString title(const FoldLayout& layout);
};
