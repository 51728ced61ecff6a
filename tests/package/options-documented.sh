#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Pleatora developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Every option that `pleatora --help` lists is in the manual page and in the bash completion, and
# neither names an option Pleatora does not have. Usage: BINARY MANUAL-PAGE COMPLETION
set -euo pipefail
binary=$1 manual=$2 completion=$3
options() { grep -oE -- '(^|[ ,|(])--?[a-z][a-z-]*' | grep -oE -- '--?[a-z][a-z-]*' | sort -u; }

help_options=$("$binary" --help | options)
[ -n "$help_options" ] || { echo "pleatora --help lists no options"; exit 1; }
# The page's roff escapes hyphens; its prose is read as printed.
manual_options=$(MANWIDTH=200 man -l "$manual" 2>/dev/null | options)
completion_options=$(sed -n '/^    if \[\[ \$current == -\* \]\]/,/^    fi/p' "$completion" | options)

status=0
compare() {
    local source=$1 documented=$2 missing unknown
    missing=$(comm -23 <(echo "$help_options") <(echo "$documented") | paste -sd ' ')
    unknown=$(comm -13 <(echo "$help_options") <(echo "$documented") | paste -sd ' ')
    [ -z "$missing" ] || { echo "Missing from the $source: $missing"; status=1; }
    [ -z "$unknown" ] || { echo "In the $source but not in --help: $unknown"; status=1; }
}
compare "manual page" "$manual_options"
compare completion "$completion_options"
exit $status
