#!/usr/bin/env bash
# Installs what is missing (with Debian's chromium, to compare with), builds,
# and runs the start-up benchmark, bench/measure-startup.sh, with the options
# given: by default 7 cold starts each of the launcher, a bare Qt WebEngine
# window and chromium --app. Run as root.
set -euo pipefail

sources=$(cd "$(dirname "$0")/.." && pwd)
"$sources/tools/install-deps.sh" --with-chromium
build=$("$sources/tools/configure-build.sh" | tail -n 1)
exec "$sources/bench/measure-startup.sh" "$build" "$@"
