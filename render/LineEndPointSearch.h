// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"
#include "render/LineEndPoints.h"

#include <QImage>

// Traces the classic's seven crease lines in a frame that holds only the lines on a transparent
// background. `frame` is upright: frame coordinate y is stored in image row height - 1 - y. A pixel
// is covered when its alpha (an Alpha8 frame's only value) is above 0; pixels outside the frame
// count as not covered. `pitch` is the sheet's tilt in degrees, which decides which way the lines
// lean in perspective.
LineEndPoints searchLineEndPoints(const QImage& frame, float pitch);
// The same for any number of lines (up to mostCreaseLines) running down the frame (vertical
// creases) or across it (horizontal ones). Every line is traced to both its ends, whichever way
// it leans.
LineEndPoints searchLineEndPoints(const QImage& frame, int lineCount, FoldLayout::Axis axis);
