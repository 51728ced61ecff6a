// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldSnapshot.h"

// Reflects a fold of a sheet of the given width about the sheet's centre; each peak keeps its
// side of the sheet.
inline FoldSnapshot mirrored(const FoldSnapshot& source, double width) {
    FoldSnapshot image = source;
    for (int i = 0; i < creaseLineCount; ++i) {
        image.creasePoint[i] = static_cast<float>(width - source.creasePoint[6 - i]);
        image.coordinates[i] = {width - source.coordinates[6 - i].x, source.coordinates[6 - i].y};
    }
    image.leftDirection = source.rightDirection;
    image.rightDirection = source.leftDirection;
    return image;
}
