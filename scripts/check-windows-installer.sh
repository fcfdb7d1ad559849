#!/usr/bin/env bash
# Checks the Windows installer under Wine, in a Wine prefix of its own that
# starts out new, as a user's machine would: a silent install (/S) puts the
# programs and the README into Program Files\Cordshift, a Start-menu
# shortcut and an uninstall entry in place; the installed cordshift-cli.exe
# converts examples/ to the same bytes as the Linux cordshift-cli; the
# installed window starts on a virtual display, ends with status 0 when
# asked to close and writes its settings; a silent uninstall leaves nothing
# but those settings.
#
#   scripts/check-windows-installer.sh SETUP_EXE WINE_RUN LINUX_CLI
#
# WINE_RUN is a build's wine-run.sh; LINUX_CLI the cordshift-cli to compare
# with. Each Wine step has a time limit (CORDSHIFT_WINE_TIMEOUT seconds,
# default 120), so that a program waiting for a click fails the check;
# wine-run.sh boots the new prefix before its first program, each boot step
# with the same limit (default 180 s there) and a second boot if the first
# fails.
set -euo pipefail

usage="usage: check-windows-installer.sh SETUP_EXE WINE_RUN LINUX_CLI"
setup=$(realpath "${1:?$usage}")
wine_run=$(realpath "${2:?$usage}")
linux_cli=$(realpath "${3:?$usage}")
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
limit=${CORDSHIFT_WINE_TIMEOUT:-120}

fail() {
  echo "check-windows-installer: $*" >&2
  exit 1
}

work=$(mktemp -d "${TMPDIR:-/tmp}/cordshift-installer.XXXXXX")
export CORDSHIFT_WINE_PREFIX="$work/prefix"
cleanup() {
  WINEPREFIX="$CORDSHIFT_WINE_PREFIX" wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Runs a Windows program; a step that outlives the limit fails the check.
windows() {
  local status=0
  timeout "$limit" "$wine_run" "$@" || status=$?
  [ "$status" -ne 124 ] || fail "$* did not end within $limit s"
  return "$status"
}
# Waits until every program of the prefix has ended, such as the copy of
# itself that the uninstaller runs from %TEMP% while its own process returns.
wait_for_wine() {
  WINEPREFIX="$CORDSHIFT_WINE_PREFIX" timeout "$limit" wineserver -w ||
    fail "Wine's programs did not end within $limit s"
}

drive_c="$CORDSHIFT_WINE_PREFIX/drive_c"
install_dir="$drive_c/Program Files/Cordshift"
install_dir_windows='C:\Program Files\Cordshift'
menu_dir="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Cordshift"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Cordshift'
vendor_key='HKLM\Software\Cordshift'

# Every file and folder of drive C:, except the temporary folders.
snapshot() {
  (cd "$drive_c" && find . -path './users/*/Temp' -prune -o -print | LC_ALL=C sort)
}

# Not under a step's limit: wine-run.sh limits each boot step itself and
# may boot twice.
"$wine_run" wineboot -i || fail "the new Wine prefix could not be made ready"
snapshot >"$work/before"

# --- Install.
windows "$setup" /S || fail "the silent install failed (status $?)"
for file in Cordshift.exe cordshift-cli.exe README.md Uninstall.exe; do
  [ -f "$install_dir/$file" ] || fail "the install lacks Program Files\\Cordshift\\$file"
done
cmp -s "$install_dir/README.md" "$repo/README.md" ||
  fail "the installed README.md is not the project's"
for link in Cordshift Uninstall; do
  [ -f "$menu_dir/$link.lnk" ] || fail "the Start menu lacks Cordshift\\$link.lnk"
done
target=$(grep -ao 'C:\\Program Files\\Cordshift\\[A-Za-z]*\.exe' "$menu_dir/Cordshift.lnk" | head -n1) || true
[ "$target" = "$install_dir_windows\\Cordshift.exe" ] ||
  fail "the Start-menu shortcut Cordshift.lnk points to '$target', not to Cordshift.exe"

version=$(windows "$install_dir_windows\\cordshift-cli.exe" --version | tr -d '\r') ||
  fail "the installed cordshift-cli.exe --version failed"
version=${version#cordshift-cli }
entry=$(windows reg query "$uninstall_key" | tr -d '\r') ||
  fail "no uninstall entry $uninstall_key"
for value in "DisplayName    REG_SZ    Cordshift" \
             "DisplayVersion    REG_SZ    $version" \
             "UninstallString    REG_SZ    \"$install_dir_windows\\Uninstall.exe\""; do
  grep -qF "$value" <<<"$entry" || fail "the uninstall entry lacks '$value':"$'\n'"$entry"
done
echo "installer: installs $(cd "$install_dir" && echo *), the Start-menu shortcut and the uninstall entry (version $version)"

# --- The installed cordshift-cli.exe converts examples/ (a copy) as the
# Linux program does.
cp -r "$repo/examples" "$work/examples"
converted=0
while read -r name source options; do
  # shellcheck disable=SC2086  # the options are words
  "$linux_cli" convert "$work/examples/$source" "$work/linux/$name" $options \
    >"$work/$name.linux.log" 2>&1 || fail "$name: the Linux cordshift-cli failed"
  # shellcheck disable=SC2086
  windows "$install_dir_windows\\cordshift-cli.exe" convert \
    "Z:${work//\//\\}\\examples\\$source" "Z:${work//\//\\}\\windows\\$name" $options \
    >"$work/$name.windows.log" 2>&1 ||
    fail "$name: the installed cordshift-cli.exe failed: $(cat "$work/$name.windows.log")"
  diff -r "$work/linux/$name" "$work/windows/$name" >/dev/null ||
    fail "$name: the installed cordshift-cli.exe wrote other files than the Linux one"
  files=$(find "$work/windows/$name" -name '*.lvd' | wc -l)
  [ "$files" -gt 0 ] || fail "$name: no file converted"
  converted=$((converted + files))
done <<'EOF'
to-hipot continuity --direction to-hipot --model TBS480
to-continuity hipot --direction to-continuity --model TBL480 --notation seq
EOF
echo "installer: the installed cordshift-cli.exe converts examples/ as the Linux one ($converted files)"

# --- The installed window starts and closes. It runs on a virtual display;
# once its window is there, taskkill (without /f) sends it WM_CLOSE, as the
# title bar's close button does.
start_and_close_window() {
  local wine_run=$1 exe=$2 limit=$3 status
  CORDSHIFT_WINE_WINDOWS=1 "$wine_run" "$exe" &
  local pid=$! waited=0
  until xwininfo -root -tree | grep -q '"Cordshift": ("cordshift.exe"'; do
    kill -0 "$pid" 2>/dev/null || { wait "$pid"; echo "ended before its window appeared (status $?)"; return 1; }
    if [ "$waited" -ge $((limit * 10)) ]; then
      echo "no window within $limit s; display $DISPLAY holds:"
      xwininfo -root -tree 2>&1 | grep -vF 'has no name'
      kill "$pid"
      return 1
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  "$wine_run" taskkill /im Cordshift.exe >/dev/null
  waited=0
  while kill -0 "$pid" 2>/dev/null; do
    [ "$waited" -lt $((limit * 10)) ] || { kill "$pid"; echo "still running $limit s after WM_CLOSE"; return 1; }
    sleep 0.1
    waited=$((waited + 1))
  done
  status=0
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || { echo "ended with status $status"; return 1; }
}
window_log="$work/window.log"
# Alone under the Wine server, as the window's own test runs.
wait_for_wine
xvfb-run -a bash -c "$(declare -f start_and_close_window); start_and_close_window \"\$@\"" \
  bash "$wine_run" "$install_dir_windows\\Cordshift.exe" "$limit" >"$window_log" 2>&1 ||
  fail "the installed Cordshift.exe: $(cat "$window_log")"
wait_for_wine
# The settings go beside the program when its folder can be written (here,
# since Wine runs as the Linux user), otherwise into %APPDATA%\Cordshift.
settings=$(cd "$drive_c" && find "./Program Files/Cordshift" ./users/*/AppData/Roaming/Cordshift \
             -name Cordshift.ini 2>/dev/null) || true
[ "$(wc -l <<<"$settings")" -eq 1 ] && [ -n "$settings" ] ||
  fail "the window wrote no settings file, or more than one: '$settings'"
grep -q '^\[Path\]' "$drive_c/$settings" || fail "$settings lacks its [Path] section"
echo "installer: the installed Cordshift.exe starts, closes with status 0 and writes ${settings#./}"

# --- Uninstall: nothing but the settings file (and its folder) stays.
windows "$install_dir_windows\\Uninstall.exe" /S || fail "the silent uninstall failed (status $?)"
wait_for_wine
snapshot >"$work/after"
leftovers=$(comm -13 "$work/before" "$work/after" |
            grep -vxF -e "$settings" -e "$(dirname "$settings")") || true
[ -z "$leftovers" ] || fail "the uninstall left behind:"$'\n'"$leftovers"
missing=$(comm -23 "$work/before" "$work/after") || true
[ -z "$missing" ] || fail "the install or uninstall removed:"$'\n'"$missing"
for key in "$uninstall_key" "$vendor_key"; do
  if windows reg query "$key" >/dev/null 2>&1; then
    fail "the uninstall left the registry key $key behind"
  fi
done
echo "installer: uninstalls silently; only ${settings#./} is left"
