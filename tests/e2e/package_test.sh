#!/usr/bin/env bash
# The Debian package as tools/build-deb.sh makes it from this tree: its name,
# its files, its dependencies, the production addresses inside, the desktop
# entry and the AppStream data as the validators read them once installed,
# and lintian without errors.
#
#   package_test.sh BUILD_FOLDER
set -euo pipefail

sources=$(cd "$(dirname "$0")/../.." && pwd)
build=$1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

package=$(bash "$sources/tools/build-deb.sh" "$build" | tail -n 1)
[ -f "$package" ] || fail "tools/build-deb.sh wrote no package"
version=$(sed -n 's/^project(vantor VERSION \([0-9.]*\).*/\1/p' "$sources/CMakeLists.txt")
expected_name="vantor_${version}_$(dpkg --print-architecture).deb"
[ "$package" = "$build/$expected_name" ] || fail "package $package, expected $build/$expected_name"

# Every file, with its mode; directories aside.
dpkg-deb -c "$package" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $1, $2, $6 }' | sort >"$work/contents"
sort >"$work/expected" <<'EOF'
-rwxr-xr-x root/root /usr/bin/vantor
-rwxr-xr-x root/root /usr/bin/vantor-desktop
-rw-r--r-- root/root /usr/share/applications/vantor.desktop
-rw-r--r-- root/root /usr/share/doc/vantor/changelog.gz
-rw-r--r-- root/root /usr/share/doc/vantor/copyright
-rw-r--r-- root/root /usr/share/icons/hicolor/16x16/apps/vantor.png
-rw-r--r-- root/root /usr/share/icons/hicolor/32x32/apps/vantor.png
-rw-r--r-- root/root /usr/share/icons/hicolor/48x48/apps/vantor.png
-rw-r--r-- root/root /usr/share/icons/hicolor/64x64/apps/vantor.png
-rw-r--r-- root/root /usr/share/icons/hicolor/128x128/apps/vantor.png
-rw-r--r-- root/root /usr/share/icons/hicolor/256x256/apps/vantor.png
-rw-r--r-- root/root /usr/share/icons/hicolor/scalable/apps/vantor.svg
-rw-r--r-- root/root /usr/share/man/man1/vantor.1.gz
lrwxrwxrwx root/root /usr/share/man/man1/vantor-desktop.1.gz
-rw-r--r-- root/root /usr/share/metainfo/cn.vantor.vantor.metainfo.xml
EOF
diff -u "$work/expected" "$work/contents" || fail "unexpected package contents"

root="$work/root"
dpkg-deb -x "$package" "$root"

for size in 16 32 48 64 128 256; do
  file "$root/usr/share/icons/hicolor/${size}x${size}/apps/vantor.png" | grep -q "PNG image data, $size x $size" \
    || fail "the ${size}x${size} icon is $(file -b "$root/usr/share/icons/hicolor/${size}x${size}/apps/vantor.png")"
done
desktop-file-validate "$root/usr/share/applications/vantor.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/cn.vantor.vantor.metainfo.xml" || fail "appstreamcli validate"
zcat "$root/usr/share/doc/vantor/changelog.gz" | head -n 1 | grep -q "^vantor ($version) " \
  || fail "dist/changelog does not begin with version $version"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/cn.vantor.vantor.metainfo.xml" \
  || fail "the AppStream data has no release $version"
grep -qx 'Exec=vantor-desktop' "$root/usr/share/applications/vantor.desktop" || fail "the menu does not start the wrapper"

# A Release build with the production addresses: the CMake defaults. (The
# compiler may build the strings from immediates, so the binary is not read.)
release="$build/package"
grep -qx 'CMAKE_BUILD_TYPE:STRING=Release' "$release/CMakeCache.txt" || fail "the package is not a Release build"
for variable in VANTOR_DIRECTORY_URL VANTOR_FALLBACK_URL; do
  address=$(sed -n "s/^set($variable \"\(.*\)\"$/\1/p" "$sources/CMakeLists.txt")
  [ -n "$address" ] || fail "no default for $variable in CMakeLists.txt"
  grep -qF "= \"$address\";" "$release/generated/launch/build_config.h" \
    || fail "the package was built without the production address $address"
done

# Dependencies: the package of every library the launcher links, and the
# run-time pieces it does not link.
depends=$(dpkg-deb -f "$package" Depends)
echo "Depends: $depends"
# Only the libraries of this architecture: a 32-bit libc beside it holds the same names.
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
for library in $(objdump -p "$root/usr/bin/vantor" | awk '$1 == "NEEDED" { print $2 }'); do
  owner=$(dpkg -S "*/$multiarch/$library" 2>/dev/null | head -n 1 | cut -d: -f1)
  [ -n "$owner" ] || fail "no package holds $library"
  [[ ", $depends," == *", $owner "* || ", $depends," == *", $owner,"* ]] \
    || fail "no dependency on $owner, which holds $library"
done
for needed in 'libcurl4 (>= 7.85)' qt6-qpa-plugins qt6-translations-l10n 'fonts-wqy-microhei | fonts-noto-cjk'; do
  grep -qF "$needed" <<<"$depends" || fail "no dependency on $needed"
done

lintian --fail-on error --no-tag-display-limit "$package" || fail "lintian reports errors"
echo "PASS: $package"
