// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/RenderLog.h"

Q_LOGGING_CATEGORY(renderLog, "pleatora.render")
