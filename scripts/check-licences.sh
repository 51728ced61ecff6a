#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Pleatora developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Fails, naming the files, when a file of the tree has no licence and copyright (in its own header
# or in .reuse/dep5) or a licence text under LICENSES/ is missing or unused.
set -euo pipefail
cd "$(dirname "$0")/.."
reuse lint
