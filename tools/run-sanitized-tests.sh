#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in its
# own build tree beside the sources ("<sources>-sanitize-build") and runs the
# whole suite there. Any sanitizer report fails the test that caused it.
set -euo pipefail

tools=$(cd "$(dirname "$0")" && pwd)
sources=$(dirname "$tools")
build="${sources}-sanitize-build"
"$tools/install-deps.sh"

cmake -S "$sources" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANTOR_BUILD_TESTS=ON \
  -DVANTOR_SANITIZE=ON \
  "-DVANTOR_DIRECTORY_URL=http://127.0.0.1/home/GetCityGuidDomain?CityGuid=" \
  "-DVANTOR_FALLBACK_URL=http://127.0.0.1/fallback.html"
cmake --build "$build" -j "$(nproc)"

export UBSAN_OPTIONS="print_stacktrace=1"

# Tests that do not run the browser engine: every check, leaks included.
ASAN_OPTIONS="detect_leaks=1" \
  ctest --test-dir "$build" --output-on-failure -j "$(nproc)" -LE 'gui|e2e'

# Tests that run Qt WebEngine (labels gui and e2e) keep every check but two,
# for reports that come from outside this program and that ASan cannot
# suppress by where they happen:
# - new_delete_type_mismatch: Qt WebEngine 6.4 frees an 88-byte object as a
#   24-byte one in ~WebContentsAdapter; ASan has no suppression kind for it.
# - detect_leaks: at exit Qt WebEngine, fontconfig and libdbus leave memory to
#   the process, and the Mesa software GL driver is unloaded before the leak
#   check while blocks it allocated are still held, so they show as leaks of an
#   unknown module that no suppression can name.
ASAN_OPTIONS="detect_leaks=0:new_delete_type_mismatch=0" \
  ctest --test-dir "$build" --output-on-failure -L 'gui|e2e'
