#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test and benchmark.
set -euo pipefail

tools=$(cd "$(dirname "$0")" && pwd)
"$tools/install-deps.sh"
build=$("$tools/configure-build.sh" | tail -n 1)
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
