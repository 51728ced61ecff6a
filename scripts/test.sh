#!/usr/bin/env bash
# Installs what is needed, builds Pleatora and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
scripts/with-display.sh ctest --test-dir build --output-on-failure
