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

export ASAN_OPTIONS="detect_leaks=1"
export LSAN_OPTIONS="suppressions=$tools/sanitizer/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
