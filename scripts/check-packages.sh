#!/usr/bin/env bash
# Checks the packages that "make package" wrote: the Debian package holds the
# programs, the desktop entry and the icon, declares its library
# dependencies, installs with dpkg and its cordshift-cli runs (the package is
# removed again afterwards); the ZIP holds cordshift-cli.exe, which runs
# under Wine.
#
#   scripts/check-packages.sh PACKAGE_DIR WINDOWS_BUILD_DIR
set -euo pipefail

package_dir=${1:?usage: check-packages.sh PACKAGE_DIR WINDOWS_BUILD_DIR}
windows_build=${2:?usage: check-packages.sh PACKAGE_DIR WINDOWS_BUILD_DIR}

fail() {
  echo "check-packages: $*" >&2
  exit 1
}

shopt -s nullglob
debs=("$package_dir"/cordshift_*.deb)
zips=("$package_dir"/cordshift-cli-*-windows-*.zip)
[ ${#debs[@]} -eq 1 ] || fail "expected one cordshift_*.deb in $package_dir, found ${#debs[@]}"
[ ${#zips[@]} -eq 1 ] || fail "expected one cordshift-cli-*.zip in $package_dir, found ${#zips[@]}"
deb=${debs[0]}
zip=${zips[0]}

# --- Debian package: content and fields.
contents=$(dpkg-deb --contents "$deb")
for file in ./usr/bin/cordshift-cli ./usr/bin/Cordshift \
            ./usr/share/applications/cordshift.desktop \
            ./usr/share/icons/hicolor/scalable/apps/cordshift.svg; do
  grep -q " $file\$" <<<"$contents" || fail "$deb lacks $file"
done
[ "$(dpkg-deb --field "$deb" Package)" = cordshift ] || fail "package name is not cordshift"
depends=$(dpkg-deb --field "$deb" Depends)
for library in libc6 libstdc++6 libqt6widgets6; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
echo "deb: $(basename "$deb"), Depends: $depends"

# --- Debian package: install, run, remove. A cordshift package installed
# before is left alone rather than replaced by the one under test.
if dpkg-query -W -f='${Status}' cordshift 2>/dev/null | grep -q "install ok installed"; then
  fail "a cordshift package is installed already; remove it first (dpkg -r cordshift)"
fi
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
remove_package() { "${sudo_cmd[@]}" dpkg -r cordshift >/dev/null || true; }
trap remove_package EXIT
"${sudo_cmd[@]}" dpkg -i "$deb" >/dev/null
/usr/bin/cordshift-cli --help | grep -q "Usage: cordshift-cli" ||
  fail "the installed cordshift-cli --help did not print its usage"
[ -x /usr/bin/Cordshift ] || fail "the installed window program is missing"
echo "deb: installs, /usr/bin/cordshift-cli --help runs"
remove_package
trap - EXIT
[ ! -e /usr/bin/cordshift-cli ] || fail "dpkg -r left /usr/bin/cordshift-cli behind"

# --- Windows ZIP: content, and the program runs under Wine.
unpacked=$(mktemp -d "${TMPDIR:-/tmp}/cordshift-zip.XXXXXX")
trap 'rm -rf "$unpacked"' EXIT
unzip -q "$zip" -d "$unpacked"
exe=$(find "$unpacked" -name cordshift-cli.exe)
[ -n "$exe" ] || fail "$zip lacks cordshift-cli.exe"
"$windows_build/wine-run.sh" "$exe" --help | grep -q "Usage: cordshift-cli" ||
  fail "cordshift-cli.exe --help from the ZIP did not print its usage under Wine"
echo "zip: $(basename "$zip") holds $(basename "$exe"), which runs under Wine"
echo "check-packages: 2 passed, 0 failed"
