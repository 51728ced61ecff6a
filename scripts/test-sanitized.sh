#!/usr/bin/env bash
# SPDX-FileCopyrightText: The Pleatora developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds the tests that need no display, and the document window tests, with the address and
# undefined-behaviour sanitizers into build-sanitize/; runs the fast tests there and a short GUI
# smoke test (a document opening and drags). Undefined behaviour aborts the test like a memory
# error. The fast test programs are those of build/, which scripts/build.sh made before.
set -euo pipefail
cd "$(dirname "$0")/.."

fast_targets=$(ctest --test-dir build -N -V -L fast |
    sed -n "s|.*Test command: $PWD/build/[^ ]*/\([^/ ]*\) .*|\1|p" | sort -u)
# Unoptimised, since it compiles in half the time and the sanitizers check the same.
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DPLEATORA_SANITIZE=ON \
    -DPLEATORA_BUILD_TESTS=ON
# shellcheck disable=SC2086 # one target a word
cmake --build build-sanitize -j"$(nproc)" --target $fast_targets window_tests

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt"
ctest --test-dir build-sanitize -L fast --output-on-failure --no-tests=error

# No leak check with a display: the X and OpenGL libraries leave allocations at exit that are not
# Pleatora's (Qt's D-Bus connection inside libdbus, and Mesa's software driver, unloaded before
# the check so that its allocations look lost).
ASAN_OPTIONS=halt_on_error=1:detect_leaks=0 scripts/with-display.sh \
    ctest --test-dir build-sanitize -L gui --output-on-failure --no-tests=error \
    -R 'DocumentDisplayTest\.OpensAFloatingPicture|DocumentMouseTest\.Dragging'
