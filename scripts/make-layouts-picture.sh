#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Pleatora developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Makes docs/layouts.png with Pleatora's own command line: the sample picture folded in each
# preset, with its creases down the sheet and across it, a little tilted, in a grid with the
# layouts' names; and docs/printed-folds.png: the folds that close flat in their presentation
# pose, and a letter fold closed. Each fold is a fold file written here, every tent pushed together by the same
# share of its paper. Usage: scripts/make-layouts-picture.sh [BINARY] (default build/pleatora).
set -euo pipefail
cd "$(dirname "$0")/.."
binary=${1:-build/pleatora}
picture=resources/sample.png
output=docs/layouts.png
tile_width=400
tile_height=$((tile_width * 3 / 4))
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

layouts=(two-tents tent card z-fold accordion-4 accordion-6 accordion-8 accordion-12)

# A fold file of the layout on the axis: creases spaced as the flat sheet's, every tent and a
# free end pushed together by a third of their paper, the fold centred on the sheet.
write_fold() {
    python3 - "$1" "$2" "$3" <<'PYTHON'
import json, math, sys
name, axis, path = sys.argv[1:]
squeeze = 1 / 3
if name == "two-tents":
    creases = [0, 0.15, 0.3, 0.5, 0.7, 0.85, 1]
    groups = [("margin", 0), ("tent", 1), ("tent", 3), ("margin", 5)]
elif name == "tent":
    creases = [i / 4 for i in range(5)]
    groups = [("margin", 0), ("tent", 1), ("margin", 3)]
else:
    panels = {"card": 2, "z-fold": 3}.get(name) or int(name.split("-")[1])
    creases = [i / panels for i in range(panels + 1)]
    groups = [("tent", first) for first in range(0, panels - 1, 2)]
    if panels % 2:
        groups.append(("free", panels - 1))
panel = lambda line: creases[line + 1] - creases[line]
profile = [None] * len(creases)
x = 0.0
profile[0] = [x, 0.0]
for kind, first in groups:
    a = panel(first)
    if kind == "margin":
        x += a
        profile[first + 1] = [x, 0.0]
    elif kind == "tent":
        b = panel(first + 1)
        base = (a + b) * (1 - squeeze)
        run = (base * base + a * a - b * b) / (2 * base)
        profile[first + 1] = [x + run, math.sqrt(a * a - run * run)]
        x += base
        profile[first + 2] = [x, 0.0]
    else:
        run = a * (1 - squeeze)
        profile[first + 1] = [x + run, math.sqrt(a * a - run * run)]
        x += run
shift = (1 - x) / 2
profile = [[px + shift, py] for px, py in profile]
fold = {"sheet": [800, 600], "creases": creases, "profile": profile, "pitch": 12}
if name == "two-tents" and axis == "vertical":
    fold["pleatora-fold"] = 1  # the classic's own version
else:
    fold.update({"pleatora-fold": 2, "layout": name, "axis": axis})
with open(path, "w") as file:
    json.dump(fold, file, indent=4)
PYTHON
}

tiles=()
for axis in vertical horizontal; do
    for layout in "${layouts[@]}"; do
        fold="$work/$layout-$axis.pleatfold"
        tile="$work/$(printf '%02d' ${#tiles[@]}).png"
        write_fold "$layout" "$axis" "$fold"
        flags=(--layout "$layout")
        [ "$axis" = horizontal ] && flags+=(--horizontal)
        "$binary" --export "$tile" "${flags[@]}" --fold "$fold" --width "$tile_width" \
            --background white --no-lines --overwrite "$picture"
        label="$layout"
        [ "$axis" = horizontal ] && label+=" --horizontal"
        ffmpeg -loglevel error -y -i "$tile" -vf "scale=w=$tile_width:h=$tile_height:force_original_aspect_ratio=decrease,pad=$tile_width:$tile_height:(ow-iw)/2:(oh-ih)/2:white,drawtext=font=DejaVu Sans:text='$label':x=(w-tw)/2:y=h-th-10:fontsize=18:fontcolor=0x333333" \
            "$tile.labelled.png"
        tiles+=("$tile.labelled.png")
    done
done

# Tiles in a grid of `columns`, row by row.
stack() {
    local output=$1 columns=$2
    shift 2
    local inputs=() grid=""
    for tile in "$@"; do inputs+=(-i "$tile"); done
    for ((i = 0; i < $#; i++)); do
        grid+="${grid:+|}$((i % columns * tile_width))_$((i / columns * tile_height))"
    done
    ffmpeg -loglevel error -y "${inputs[@]}" \
        -filter_complex "xstack=inputs=$#:layout=$grid:fill=white" -frames:v 1 "$output"
    echo "Wrote $output ($# tiles, $columns a row)"
}

# Four tiles a row, the vertical layouts above the horizontal ones.
stack "$output" 4 "${tiles[@]}"

printed=()
for pose in letter:presentation roll-4:presentation gate:presentation \
    double-gate:presentation double-parallel:presentation letter:closed; do
    tile="$work/printed-${#printed[@]}.png"
    "$binary" --export "$tile" --layout "${pose%%:*}" --pose "${pose##*:}" --pitch 12 \
        --width "$tile_width" --background white --no-lines --overwrite "$picture"
    label="${pose%%:*} --pose ${pose##*:}"
    ffmpeg -loglevel error -y -i "$tile" -vf "scale=w=$tile_width:h=$tile_height:force_original_aspect_ratio=decrease,pad=$tile_width:$tile_height:(ow-iw)/2:(oh-ih)/2:white,drawtext=font=DejaVu Sans:text='$label':x=(w-tw)/2:y=h-th-10:fontsize=18:fontcolor=0x333333" \
        "$tile.labelled.png"
    printed+=("$tile.labelled.png")
done
stack docs/printed-folds.png 3 "${printed[@]}"
