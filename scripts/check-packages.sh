#!/usr/bin/env bash
# Checks the packages that "make package" wrote. The Debian package: its
# files (programs, manual pages, desktop entry, AppStream metadata, icon,
# copyright, changelog) and fields; lintian reports no error;
# appstreamcli and desktop-file-validate accept the metadata and the
# desktop entry; the manual page documents every option of the program; it
# installs with dpkg and the installed cordshift-cli runs and names the
# package's version (the package is removed again afterwards). The ZIP:
# holds Cordshift.exe, cordshift-cli.exe and the README; both programs
# import system DLLs only, and cordshift-cli.exe runs under Wine and names
# the package's version. The installer: scripts/check-windows-installer.sh.
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
zips=("$package_dir"/cordshift-*-windows-*.zip)
setups=("$package_dir"/cordshift-*-windows-*-setup.exe)
[ ${#debs[@]} -eq 1 ] || fail "expected one cordshift_*.deb in $package_dir, found ${#debs[@]}"
[ ${#zips[@]} -eq 1 ] || fail "expected one cordshift-*-windows-*.zip in $package_dir, found ${#zips[@]}"
[ ${#setups[@]} -eq 1 ] ||
  fail "expected one cordshift-*-windows-*-setup.exe in $package_dir, found ${#setups[@]}"
deb=${debs[0]}
zip=${zips[0]}
setup=${setups[0]}

# Temporary folders, and the package while it is installed, go on exit.
temporary=()
package_installed=
cleanup() {
  if [ -n "$package_installed" ]; then
    remove_package
  fi
  rm -rf "${temporary[@]}"
}
trap cleanup EXIT

# --- Debian package: content and fields.
app_id=io.github.cordshift.Cordshift
contents=$(dpkg-deb --contents "$deb")
for file in ./usr/bin/cordshift-cli ./usr/bin/Cordshift \
            ./usr/share/man/man1/cordshift-cli.1.gz \
            ./usr/share/man/man1/Cordshift.1.gz \
            ./usr/share/applications/$app_id.desktop \
            ./usr/share/metainfo/$app_id.metainfo.xml \
            ./usr/share/icons/hicolor/scalable/apps/cordshift.svg \
            ./usr/share/icons/hicolor/{16x16,24x24,32x32,48x48,256x256}/apps/cordshift.png \
            ./usr/share/doc/cordshift/copyright \
            ./usr/share/doc/cordshift/changelog.gz; do
  grep -q " $file\$" <<<"$contents" || fail "$deb lacks $file"
done
[ "$(dpkg-deb --field "$deb" Package)" = cordshift ] || fail "package name is not cordshift"
version=$(dpkg-deb --field "$deb" Version)
depends=$(dpkg-deb --field "$deb" Depends)
for library in libc6 libstdc++6 libqt6widgets6; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
echo "deb: $(basename "$deb"), Depends: $depends"

# --- Debian package: lintian, the metadata, the manual page.
# lintian's tags (infos too) go to the log; an error (E:) fails. It warns
# on standard error when run as root, which is left out.
lintian_status=0
lintian_tags=$(lintian --display-info --fail-on error "$deb" 2>/dev/null) ||
  lintian_status=$?
[ -z "$lintian_tags" ] || sed 's/^/  /' <<<"$lintian_tags"
[ "$lintian_status" -eq 0 ] || fail "lintian failed (status $lintian_status)"
echo "deb: lintian: $(grep -c '^W:' <<<"$lintian_tags") warnings, no error"

tree=$(mktemp -d "${TMPDIR:-/tmp}/cordshift-deb.XXXXXX")
temporary+=("$tree")
dpkg-deb -x "$deb" "$tree"
appstreamcli validate-tree --no-net "$tree" >/dev/null ||
  fail "appstreamcli validate-tree rejects the package's metadata:"$'\n'"$(
    appstreamcli validate-tree --no-net "$tree" 2>&1)"
desktop-file-validate "$tree/usr/share/applications/$app_id.desktop" ||
  fail "desktop-file-validate rejects $app_id.desktop"
echo "deb: AppStream metadata and desktop entry valid"

changelog_version=$(zcat "$tree/usr/share/doc/cordshift/changelog.gz" |
                    sed -n '1s/^cordshift (\([^)]*\)).*/\1/p')
[ "$changelog_version" = "$version" ] ||
  fail "the changelog's latest entry is $changelog_version, the package $version"

# Every option that the program's help names is in the manual page, which
# man renders without a warning.
cli="$tree/usr/bin/cordshift-cli"
manual_page="$tree/usr/share/man/man1/cordshift-cli.1.gz"
manual=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$manual_page" 2>"$tree/man-warnings")
[ ! -s "$tree/man-warnings" ] || fail "man warns about cordshift-cli.1: $(cat "$tree/man-warnings")"
for section in SYNOPSIS OPTIONS "EXIT STATUS" EXAMPLES FILES; do
  grep -q "^$section\$" <<<"$manual" || fail "cordshift-cli(1) lacks $section"
done
commands=$("$cli" --help | sed -n '/^Subcommands:$/,/^$/s/^  \([a-z-]*\) .*/\1/p')
options=$( { "$cli" --help; for command in $commands; do "$cli" "$command" --help; done; } |
          grep -o '^  \(-h,\)\?--[a-z-]*' | sed 's/^.*--/--/' | sort -u)
[ "$(wc -l <<<"$options")" -ge 10 ] || fail "too few options in --help: $options"
roff=$(zcat "$manual_page" | sed 's/\\-/-/g')
for option in $options; do
  grep -qF -- "$option" <<<"$roff" || fail "cordshift-cli(1) lacks $option"
done
for command in $commands; do
  grep -q "^\.SS \"$command " <<<"$roff" || fail "cordshift-cli(1) lacks the command $command"
done
echo "deb: cordshift-cli(1) documents $(wc -l <<<"$options") options"

# --- Debian package: install, run, remove. A cordshift package installed
# before is left alone rather than replaced by the one under test.
if dpkg-query -W -f='${Status}' cordshift 2>/dev/null | grep -q "install ok installed"; then
  fail "a cordshift package is installed already; remove it first (dpkg -r cordshift)"
fi
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
remove_package() {
  "${sudo_cmd[@]}" dpkg -r cordshift >/dev/null || true
  package_installed=
}
package_installed=yes
"${sudo_cmd[@]}" dpkg -i "$deb" >/dev/null
/usr/bin/cordshift-cli --help | grep -q "Usage: cordshift-cli" ||
  fail "the installed cordshift-cli --help did not print its usage"
installed_version=$(/usr/bin/cordshift-cli --version)
[ "$installed_version" = "cordshift-cli $version" ] ||
  fail "the installed cordshift-cli --version says '$installed_version', the package is $version"
[ -x /usr/bin/Cordshift ] || fail "the installed window program is missing"
echo "deb: installs, /usr/bin/cordshift-cli --help runs, --version says $version"
remove_package
[ ! -e /usr/bin/cordshift-cli ] || fail "dpkg -r left /usr/bin/cordshift-cli behind"

# --- Windows ZIP: content, in one folder named without the version; the
# programs need no DLL beside them, only those of Windows itself, and carry
# the icon and the version resource; cordshift-cli.exe runs under Wine.
unpacked=$(mktemp -d "${TMPDIR:-/tmp}/cordshift-zip.XXXXXX")
temporary+=("$unpacked")
unzip -q "$zip" -d "$unpacked"
[ "$(ls "$unpacked")" = Cordshift ] ||
  fail "$zip does not hold its files in one folder Cordshift: $(ls "$unpacked")"

# The icon resource holds the images of packaging/cordshift.ico, each size.
icon=$(dirname "${BASH_SOURCE[0]}")/../packaging/cordshift.ico
check_icon() {
  local exe=$1 folder
  folder=$(mktemp -d "${TMPDIR:-/tmp}/cordshift-icon.XXXXXX")
  temporary+=("$folder")
  mkdir "$folder/ours" "$folder/exe"
  cp "$icon" "$folder/ours/icon.ico"
  wrestool --extract --type=14 "$exe" >"$folder/exe/icon.ico" ||
    fail "$(basename "$exe") has no icon resource"
  icotool --extract --output="$folder/ours" "$folder/ours/icon.ico"
  icotool --extract --output="$folder/exe" "$folder/exe/icon.ico" ||
    fail "$(basename "$exe")'s icon resource is not an icon"
  rm "$folder/ours/icon.ico" "$folder/exe/icon.ico"
  diff -r "$folder/ours" "$folder/exe" >/dev/null ||
    fail "$(basename "$exe")'s icon differs from packaging/cordshift.ico:"$'\n'"$(ls "$folder/ours" "$folder/exe")"
}
# The version resource's fixed file version and texts, "Key=value" a line.
version_texts() {
  wrestool --extract --raw --type=16 "$1" | python3 -c '
import struct, sys
data = sys.stdin.buffer.read()
def aligned(offset):
    return (offset + 3) & ~3
# One block: its key, type (1 for text), value and where its children start
# and it ends.
def block(offset):
    length, value_length, kind = struct.unpack_from("<HHH", data, offset)
    end = offset + 6
    while data[end:end + 2] != b"\0\0":
        end += 2
    key = data[offset + 6:end].decode("utf-16-le")
    start = aligned(end + 2)
    size = value_length * 2 if kind == 1 else value_length
    return key, kind, data[start:start + size], aligned(start + size), offset + length
def walk(offset, end):
    while offset < end:
        key, kind, value, children, next_offset = block(offset)
        if kind == 1 and value:
            text = value.decode("utf-16-le").rstrip("\0")
            print(key + "=" + text)
        elif children < next_offset:
            walk(children, next_offset)
        offset = aligned(next_offset)
key, kind, fixed, children, end = block(0)
most, least = struct.unpack_from("<II", fixed, 8)
print("FileVersionNumber=%d.%d.%d.%d" % (most >> 16, most & 0xFFFF, least >> 16, least & 0xFFFF))
walk(children, end)
'
}

check_version() {
  local exe=$1 description=$2 texts line
  texts=$(version_texts "$exe") || fail "$(basename "$exe") has no version resource"
  for line in "FileVersionNumber=$version.0" "FileVersion=$version" "ProductVersion=$version" \
              ProductName=Cordshift "OriginalFilename=$(basename "$exe")" \
              "FileDescription=$description"; do
    grep -qxF "$line" <<<"$texts" ||
      fail "$(basename "$exe")'s version resource lacks $line:"$'\n'"$texts"
  done
}

system_dlls='kernel32|user32|gdi32|comctl32|comdlg32|shell32|ole32|oleaut32|advapi32|shlwapi|uxtheme|imm32|version|ws2_32|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]*'
for name in Cordshift.exe cordshift-cli.exe README.md; do
  file=$unpacked/Cordshift/$name
  [ -f "$file" ] || fail "$zip lacks Cordshift/$name"
  [[ $name == *.exe ]] || continue
  dlls=$(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
  [ -n "$dlls" ] || fail "objdump lists no DLL for $name"
  others=$(grep -viE "^($system_dlls)\.dll\$" <<<"$dlls") || true
  [ -z "$others" ] || fail "$name needs DLLs that Windows does not have: $others"
  echo "zip: $name imports ${dlls//$'\n'/ }"
done
check_icon "$unpacked/Cordshift/Cordshift.exe"
check_icon "$unpacked/Cordshift/cordshift-cli.exe"
check_version "$unpacked/Cordshift/Cordshift.exe" "Cordshift 配線データ変換"
check_version "$unpacked/Cordshift/cordshift-cli.exe" "Cordshift 配線データ変換 (コマンドライン)"
check_icon "$setup"
check_version "$setup" "Cordshift $version セットアップ"
echo "zip: both programs and the installer carry the icon and version $version"
exe=$unpacked/Cordshift/cordshift-cli.exe
zip_version=$("$windows_build/wine-run.sh" "$exe" --version | tr -d '\r')
[ "$zip_version" = "cordshift-cli $version" ] ||
  fail "cordshift-cli.exe --version from the ZIP says '$zip_version' under Wine, the package is $version"
echo "zip: $(basename "$zip") holds both programs and the README; cordshift-cli.exe runs under Wine"

# --- Windows installer, compared with the Linux program of the package.
"$(dirname "${BASH_SOURCE[0]}")/check-windows-installer.sh" \
  "$setup" "$windows_build" "$tree/usr/bin/cordshift-cli"
echo "check-packages: 3 passed, 0 failed"
