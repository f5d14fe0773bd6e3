#!/usr/bin/env bash
# Installs what the launcher, its tests, benchmarks, demo and package need on
# Debian 12, and nothing that is there already; with --with-chromium also
# Debian's chromium, which the start-up benchmark compares with. Run as root.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-webengine-dev libqt6webenginecore6-bin
  libcurl4-openssl-dev libjsoncpp-dev libudev-dev
  libgl-dev libx11-dev libxkbcommon-dev fonts-wqy-microhei locales
  libgtest-dev libbenchmark-dev libssl-dev libcpp-httplib-dev
  xvfb xauth xdotool x11-utils openbox iproute2 util-linux curl
  librsvg2-bin dpkg-dev file lintian desktop-file-utils appstream
  libnss3-tools openssl
)

if [ "${1:-}" = --with-chromium ]; then
  packages+=(chromium)
fi

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$package")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The code-page tests run under a GBK locale as a Chinese office PC would.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.gbk'; then
  localedef -i zh_CN -f GBK zh_CN.GBK
fi
