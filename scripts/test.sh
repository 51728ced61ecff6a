#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Pleatora developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Installs what is needed; checks the formatting, the licence of every file and the links between
# the Markdown documents; builds Pleatora and runs every test, the Debian package's included; then
# runs the fast tests and a GUI smoke test again in a build with the address and
# undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/check-format.sh
scripts/check-licences.sh
scripts/check-links.py
scripts/build.sh
scripts/with-display.sh ctest --test-dir build --output-on-failure
scripts/test-sanitized.sh
