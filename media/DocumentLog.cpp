// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/DocumentLog.h"

Q_LOGGING_CATEGORY(documentLog, "pleatora.document")
