// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingsLog.h"

Q_LOGGING_CATEGORY(settingsLog, "pleatora.settings")
