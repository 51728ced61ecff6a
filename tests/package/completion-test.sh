#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Pleatora developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The bash completion offers what each place on the command line takes. Usage: COMPLETION
set -uo pipefail
# shellcheck source=/dev/null
source "$1"
cd "$(mktemp -d)" || exit 1
trap 'rm -rf "$PWD"' EXIT
mkdir folder
touch leaflet.pleatfold photo.png

status=0
# Completes the words given, the last being the one under the cursor, and compares the offers.
expect() {
    local expected=$1
    shift
    COMP_WORDS=(pleatora "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _pleatora
    local offered
    offered=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' ')
    if [ "$offered" != "$expected" ]; then
        echo "pleatora $*: offered '$offered', expected '$expected'"
        status=1
    fi
}
expect "--export --export-dir" --exp
expect "--shadow --shadow-blur --shadow-offset --shadow-opacity" --shadow
expect "jpeg" --format j
expect "folder leaflet.pleatfold" --export a.png --fold ""
expect "folder" --export-dir ""
expect "" --scale ""
expect "" --yaw ""
expect "--yaw" --ya
expect "folder leaflet.pleatfold photo.png" --export out.png ""
expect "transparent" --background t
expect "--back --back-colour --back-turn --background --background-picture" --back
expect "floor" --surface f
expect "--surface --surface-colour --surface-picture" --surf
expect "paper photo.png" --back p
expect "" --crease-shading ""
exit $status
