// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/WindowLog.h"

Q_LOGGING_CATEGORY(windowLog, "pleatora.window")
