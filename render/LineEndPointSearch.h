// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "render/LineEndPoints.h"

#include <QImage>

// Traces the seven crease lines in a frame that holds only the lines on a transparent background.
// `frame` is upright: frame coordinate y is stored in image row height - 1 - y. A pixel is covered
// when its alpha is above 0; pixels outside the frame count as not covered. `pitch` is the sheet's
// tilt in degrees, which decides which way the lines lean in perspective.
LineEndPoints searchLineEndPoints(const QImage& frame, float pitch);
