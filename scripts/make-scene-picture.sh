#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Pleatora developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Makes docs/scene.png: the sample picture as a letter fold standing on a wooden desk, exported by
# Pleatora's own command line on a wood grain made with ImageMagick.
# Usage: scripts/make-scene-picture.sh [BUILD_DIR]   (default: build)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Noise smeared along one direction and coloured from dark to light oak.
convert -size 512x512 xc: -seed 3 +noise Random -channel R -separate +channel \
    -motion-blur 0x120+90 -normalize -blur 0x1 +level-colors '#6b4423,#c8955a' "$work/wood.png"

"$build/pleatora" --export "$root/docs/scene.png" --overwrite --width 800 \
    --layout letter --pose presentation --yaw 35 --pitch 15 --no-lines \
    --surface floor --surface-picture "$work/wood.png" --background '#e8e8e8' \
    "$root/resources/sample.png"
echo "wrote $root/docs/scene.png"
