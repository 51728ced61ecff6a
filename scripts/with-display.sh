#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Pleatora developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Runs a command on the current display, or on a virtual one (Xvfb with a compositing manager,
# so that translucent windows and their shadows show) when there is none. PLEATORA_SCREEN sets the
# virtual screen (default 1920x1080x24).
set -euo pipefail
if [ -n "${DISPLAY:-}" ] && [ "${CI:-}" != "true" ]; then
    exec "$@"
fi
export LIBGL_ALWAYS_SOFTWARE=1 QT_QPA_PLATFORM=xcb
exec xvfb-run -a -s "-screen 0 ${PLEATORA_SCREEN:-1920x1080x24}" bash -c 'xcompmgr >/dev/null 2>&1 & exec "$@"' bash "$@"
