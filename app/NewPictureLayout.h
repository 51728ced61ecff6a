// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"

class Preferences;

// The layout a picture opens in when no fold is remembered for it, as the preferences give it.
class NewPictureLayout {
public:
    // A stored name this Pleatora does not know gives the classic.
    static FoldLayout of(const Preferences& preferences);
};
