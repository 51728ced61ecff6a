#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Pleatora developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds the Debian package from a build directory, has lintian check it, unpacks it into a
# temporary folder as dpkg would install it, and runs what it installed: the binary's --version,
# a folded export without a display, the metainfo, desktop entry and manual page checks.
# Usage: BUILD-DIRECTORY VERSION
set -euo pipefail
build=$(realpath "$1") version=$2
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" ||
    { cat "$work/cpack.log"; exit 1; }
package=$work/pleatora_${version}_$(dpkg --print-architecture).deb
[ -f "$package" ] || { echo "cpack made no $package:"; ls "$work"; exit 1; }

echo "lintian:"
lintian --fail-on error --tag-display-limit 0 "$package"

depends=$(dpkg-deb --field "$package" Depends)
echo "Depends: $depends"
[[ $depends == *libqt6widgets6* && $depends == *libc6* ]] ||
    { echo "The dependencies were not read from the binary"; exit 1; }

# Every file the package installs, no more and no fewer.
diff -u <(grep -v "^#" "$here/expected-files.txt") \
    <(dpkg-deb --contents "$package" | awk '$1 !~ /^d/ {print $6}' | LC_ALL=C sort)

root=$work/root
dpkg-deb --extract "$package" "$root"
[ "$("$root/usr/bin/pleatora" --version)" = "pleatora $version" ]

env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/pleatora" --export "$work/folded.png" \
    --fold "$root/usr/share/pleatora/sample.pleatfold" "$root/usr/share/pleatora/sample.png"
file --brief "$work/folded.png" | grep -q '^PNG image data'

"$here/validate-metainfo.sh" "$root/usr/share/metainfo/org.pleatora.pleatora.metainfo.xml"
desktop-file-validate "$root/usr/share/applications/org.pleatora.pleatora.desktop"
warnings=$(MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/pleatora.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "The manual page warns: $warnings"; exit 1; }
for icon in "$root"/usr/share/icons/hicolor/*x*/apps/*.png; do
    size=$(basename "$(dirname "$(dirname "$icon")")")
    file --brief "$icon" | grep -q "${size/x/ x }," || { echo "$icon is not $size"; exit 1; }
done
echo "The package installs and runs."
