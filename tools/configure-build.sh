#!/usr/bin/env bash
# Configures and builds the launcher with its tests, benchmarks and demo
# server in the build tree beside the sources ("<sources>-build"). Every
# address the build uses is on this machine.
set -euo pipefail

sources=$(cd "$(dirname "$0")/.." && pwd)
build="${sources}-build"

cmake -S "$sources" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANTOR_BUILD_TESTS=ON \
  "-DVANTOR_DIRECTORY_URL=http://127.0.0.1/home/GetCityGuidDomain?CityGuid=" \
  "-DVANTOR_FALLBACK_URL=http://127.0.0.1/fallback.html" >&2
cmake --build "$build" -j "$(nproc)" >&2
echo "$build"
