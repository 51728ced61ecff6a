#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Pleatora developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Draws docs/code-folders.svg, the folders and the arrows between them, from the CMake targets'
# links (CMake's --graphviz), so that the picture in docs/code.md cannot drift from the build.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v dot >/dev/null || { echo "make-code-picture.sh: needs Graphviz's dot (apt-get install graphviz)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat > "$work/CMakeGraphVizOptions.cmake" <<'OPTIONS'
set(GRAPHVIZ_EXTERNAL_LIBS FALSE)
set(GRAPHVIZ_GENERATE_PER_TARGET FALSE)
set(GRAPHVIZ_GENERATE_DEPENDERS FALSE)
set(GRAPHVIZ_EXECUTABLES FALSE)
OPTIONS
cmake -S . -B "$work" -DPLEATORA_BUILD_TESTS=OFF --graphviz="$work/targets.dot" >/dev/null

# Keep the eight folders' libraries and the links between them; name each node by its folder.
folders="fold render media settings document window cli app"
python3 - "$work/targets.dot" $folders > "$work/folders.dot" <<'PYTHON'
import re, sys
path, folders = sys.argv[1], sys.argv[2:]
names, edges = {}, []
for line in open(path):
    node = re.match(r'\s*"(node\d+)"\s*\[\s*label\s*=\s*"([^"]+)"', line)
    if node and node.group(2) in folders:
        names[node.group(1)] = node.group(2)
    edge = re.match(r'\s*"(node\d+)"\s*->\s*"(node\d+)"', line)
    if edge:
        edges.append(edge.groups())
print('digraph folders {\n  rankdir=BT;\n  node [shape=box, style=rounded, fontname="sans-serif"];')
print('  edge [arrowsize=0.7];')
for source, target in edges:
    if source in names and target in names:
        print(f'  "{names[source]}" -> "{names[target]}";')
print('}')
PYTHON
dot -Tsvg "$work/folders.dot" -o docs/code-folders.svg
echo "wrote docs/code-folders.svg"
