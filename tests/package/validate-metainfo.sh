#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Pleatora developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Validates AppStream metainfo as pedantically as appstreamcli can and fails on any issue it
# reports, hints included: it exits 0 even with them, so its words are what counts.
set -euo pipefail
report=$(appstreamcli validate --pedantic --no-net "$1" 2>&1) || {
    printf '%s\n' "$report"
    exit 1
}
printf '%s\n' "$report"
# Without issues it says only this, after a check mark.
[[ $report =~ ^[^A-Za-z]*"Validation was successful."$ ]]
