// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

// Stored state that cannot be read or written: Pleatora goes on with its fallbacks.
Q_DECLARE_LOGGING_CATEGORY(settingsLog)
