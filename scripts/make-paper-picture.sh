#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Pleatora developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Makes docs/paper.png: the sample picture folded and exported by Pleatora's own command line plain, with each
# paper effect alone and with all of them, side by side with captions (ImageMagick's montage).
# Usage: scripts/make-paper-picture.sh [BUILD_DIR]   (default: build)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
pleatora=$build/pleatora
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Two tall tents whose outer panels lean back over their feet, tilted so that their undersides,
# the back of the sheet, show below them.
fold=$work/steep.pleatfold
cat >"$fold" <<'FOLD'
{"pleatora-fold": 1, "pitch": 30, "sheet": [800, 600],
 "creases": [0, 0.15, 0.3, 0.5, 0.7, 0.85, 1],
 "profile": [[0.27, 0], [0.42, 0], [0.350625, 0.13299289219729], [0.5, 0],
             [0.649375, 0.13299289219729], [0.58, 0], [0.73, 0]]}
FOLD

export_one() {
    local name=$1
    shift
    "$pleatora" --export "$work/$name.png" --fold "$fold" \
        --width 640 --no-lines --background '#e8e8e8' --shading 40 --overwrite "$@" \
        "$root/resources/sample.png"
}

export_one 1-plain
export_one 2-back --back paper --back-colour '#c8b48c'
export_one 3-grain --grain 100
export_one 4-creases --crease-shading 100
export_one 5-gloss --gloss 100
export_one 6-all --back paper --back-colour '#c8b48c' --grain 60 --crease-shading 80 --gloss 60

montage -font DejaVu-Sans -pointsize 18 \
    -label 'Plain (every effect off)' "$work/1-plain.png" \
    -label 'Back: plain paper' "$work/2-back.png" \
    -label 'Grain 100%' "$work/3-grain.png" \
    -label 'Crease shading 100%' "$work/4-creases.png" \
    -label 'Gloss 100%' "$work/5-gloss.png" \
    -label 'All: back, grain 60%, creases 80%, gloss 60%' "$work/6-all.png" \
    -tile 2x3 -geometry +8+8 -background white "$root/docs/paper.png"
echo "wrote $root/docs/paper.png"
