#!/usr/bin/env bash
# Installs what is needed, builds Pleatora and opens it on the sample picture.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
scripts/with-display.sh build/pleatora resources/sample.png
