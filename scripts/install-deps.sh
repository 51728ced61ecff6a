#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Pleatora developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Installs the Debian 12 packages Pleatora needs to build, run and test; skips what is present.
set -euo pipefail

packages=(
    cmake g++ make pkg-config git clang-format
    qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-image-formats-plugins qt6-qpa-plugins
    libgl-dev libegl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-mesa0
    libavcodec-dev libavformat-dev libavfilter-dev libswscale-dev libavutil-dev libwebp-dev ffmpeg
    libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev libjpeg-turbo-progs libspng-dev
    libdeflate-dev libpng-dev
    libx11-dev libxtst-dev libxcb-shape0-dev xvfb xauth xcompmgr x11-utils
    appstream desktop-file-utils librsvg2-bin imagemagick graphviz
    libpoppler-cpp-dev libpoppler-qt6-dev qpdf libtinygltf-dev
    reuse python3 dpkg-dev file lintian man-db groff-base
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
# Node.js may come from elsewhere than Debian, whose npm would conflict with it.
if ! command -v npm >/dev/null; then
    missing+=(nodejs npm)
fi
if [ ${#missing[@]} -ne 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -q
    $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Khronos' glTF validator checks the exported models; the tests look for it under build/.
validator="$(dirname "$0")/../build/gltf-validator"
if [ ! -d "$validator/node_modules/gltf-validator" ]; then
    mkdir -p "$validator"
    npm install --prefix "$validator" --no-audit --no-fund gltf-validator@2.0.0-dev.3.10
fi
