#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Pleatora developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Installs what is needed and builds Pleatora; with a display it opens Pleatora on the sample
# picture, without one it exports the sample, folded, to build/sample-folded.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    build/pleatora --export build/sample-folded.png --overwrite \
        --fold resources/sample.pleatfold resources/sample.png
    echo "No display: wrote the folded sample picture to $(pwd)/build/sample-folded.png"
    exit 0
fi
build/pleatora resources/sample.png
