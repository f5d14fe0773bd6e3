#!/usr/bin/env bash
# Installs what is missing, builds, starts the demo site server on
# 127.0.0.1:80 and runs the launcher's first start against it in a fresh
# office folder: the site-code dialog, the directory lookup, the device report
# and the login page.
set -euo pipefail

tools=$(cd "$(dirname "$0")" && pwd)
"$tools/install-deps.sh"
build=$("$tools/configure-build.sh" | tail -n 1)

office="$build/demo-office"
rm -rf "$office"
mkdir -p "$office"

"$build/tools/site_server" --address 127.0.0.1 --port 80 --domain 127.0.0.1 &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT

cd "$office"
echo "Office folder: $office (type any site code in the dialog)"
if [ -n "${DISPLAY:-}" ]; then
  "$build/vantor"
else
  echo "No DISPLAY: running in a virtual display (Xvfb)."
  xvfb-run -a -s "-screen 0 1280x1024x24" "$build/vantor"
fi
