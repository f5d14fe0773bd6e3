#!/usr/bin/env bash
# Builds the launcher's Debian package: installs what is missing, builds the
# executable alone as a Release build with the production addresses (the
# CMake defaults) in "<build folder>/package", and writes
# vantor_<version>_<arch>.deb into the build folder, by default
# "<sources>-build". Prints the package's path.
#
#   bash tools/build-deb.sh [BUILD_FOLDER]
set -euo pipefail

tools=$(cd "$(dirname "$0")" && pwd)
sources=$(dirname "$tools")
build=$(mkdir -p "${1:-${sources}-build}" && cd "${1:-${sources}-build}" && pwd)
release="$build/package"

"$tools/install-deps.sh" >&2

# Debian's hardening flags, as for any package of the distribution. -U drops
# addresses an earlier configuration may have cached: the package always
# carries the defaults.
export DEB_BUILD_MAINT_OPTIONS="hardening=+all" DEB_CXXFLAGS_MAINT_STRIP="-g"
cmake -S "$sources" -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTOR_BUILD_TESTS=OFF \
  "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)" \
  -UVANTOR_DIRECTORY_URL -UVANTOR_FALLBACK_URL >&2
cmake --build "$release" -j "$(nproc)" >&2

rm -f "$release"/vantor_*.deb
(cd "$release" && cpack -G DEB) >&2
package=$(find "$release" -maxdepth 1 -name 'vantor_*.deb' -print -quit)
mv -f "$package" "$build/"
echo "$build/$(basename "$package")"
