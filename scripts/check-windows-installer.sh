#!/usr/bin/env bash
# Checks the Windows installer under Wine in both of its modes, each in a
# Wine prefix of its own that starts out new, as a user's machine would:
#
#   /CurrentUser  for the user who runs it: %LOCALAPPDATA%\Programs\Cordshift,
#                 the user's Start menu, the uninstall entry under HKCU. Run
#                 as a Linux user without root rights (nobody) when this
#                 machine lets root start programs as another user.
#   /AllUsers     for everyone: Program Files\Cordshift, the common Start
#                 menu, the uninstall entry under HKLM.
#
# In each mode a silent install (/S) of an earlier version (the same
# programs, packed by cpack under the version 0.0.0) comes first; the
# installed window starts on a virtual display, ends with status 0 when asked
# to close and writes its settings; then the installer under test upgrades
# that installation, which must keep the settings file byte for byte. The
# check then looks at the installed files, the Start-menu shortcuts, every
# value of the uninstall entry and that nothing went anywhere else, and
# uninstalls with the entry's QuietUninstallString, which must leave only the
# settings. In the /AllUsers mode the installed cordshift-cli.exe also
# converts examples/ to the same bytes as the Linux cordshift-cli.
#
#   scripts/check-windows-installer.sh SETUP_EXE WINDOWS_BUILD_DIR LINUX_CLI
#
# WINDOWS_BUILD_DIR is the build the installer was packed from (its
# wine-run.sh runs the programs; cpack packs the earlier version there);
# LINUX_CLI the cordshift-cli to compare with. Each Wine step has a time
# limit (CORDSHIFT_WINE_TIMEOUT seconds, default 120), so that a program
# waiting for a click fails the check; wine-run.sh boots each new prefix
# before its first program, each boot step with the same limit (default
# 180 s there) and a second boot if the first fails.
set -euo pipefail

usage="usage: check-windows-installer.sh SETUP_EXE WINDOWS_BUILD_DIR LINUX_CLI"
setup=$(realpath "${1:?$usage}")
windows_build=$(realpath "${2:?$usage}")
linux_cli=$(realpath "${3:?$usage}")
wine_run="$windows_build/wine-run.sh"
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
limit=${CORDSHIFT_WINE_TIMEOUT:-120}
previous_version=0.0.0

fail() {
  echo "check-windows-installer: $*" >&2
  exit 1
}

work=$(mktemp -d "${TMPDIR:-/tmp}/cordshift-installer.XXXXXX")
# Each mode's Wine prefix and the programs run in it (prefix, Wine server,
# virtual display) belong to that mode's Linux user.
as_user=()
cleanup() {
  for prefix in "$work"/*/prefix; do
    [ -d "$prefix" ] || continue
    local owner
    owner=$(stat -c %U "$prefix")
    if [ "$owner" = "$(id -un)" ]; then
      WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    else
      setpriv --reuid="$owner" --regid="$(stat -c %g "$prefix")" --clear-groups \
        env WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    fi
  done
  rm -rf "$work"
}
trap cleanup EXIT

# The earlier version: the same programs under another version number.
(cd "$windows_build" &&
  cpack -G NSIS -D CPACK_PACKAGE_VERSION="$previous_version" -B "$work/previous" \
    >"$work/previous.log" 2>&1) ||
  fail "cpack could not pack the earlier version: $(cat "$work/previous.log")"
previous_setup=$(find "$work/previous" -maxdepth 1 -name '*-setup.exe')
[ -f "$previous_setup" ] || fail "cpack wrote no installer of the earlier version"

# Runs a command as this mode's user.
user_run() {
  "${as_user[@]}" "$@"
}
# Runs a Windows program; a step that outlives the limit fails the check.
windows() {
  local status=0
  user_run timeout "$limit" "$wine_run" "$@" || status=$?
  [ "$status" -ne 124 ] || fail "$* did not end within $limit s"
  return "$status"
}
# Waits until every program of the prefix has ended, such as the copy of
# itself that the uninstaller runs from %TEMP% while its own process returns.
wait_for_wine() {
  user_run env WINEPREFIX="$CORDSHIFT_WINE_PREFIX" timeout "$limit" wineserver -w ||
    fail "Wine's programs did not end within $limit s"
}
# Every file and folder of drive C:, except the temporary folders.
snapshot() {
  (cd "$drive_c" && find . -path './users/*/Temp' -prune -o -print | LC_ALL=C sort)
}
# The uninstall entry's values, one "name type data" line each.
entry_values() {
  windows reg query "$1" | tr -d '\r' | sed -n 's/^    //p' | sed 's/    / /g'
}

# The installed window starts and closes. It runs on a virtual display;
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

# The installed cordshift-cli.exe converts examples/ (a copy) as the Linux
# program does.
check_conversions() {
  cp -r "$repo/examples" "$work/examples"
  local converted=0 name source options files
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
}

# The uninstall entry of a mode names this installation, by the values that
# "Apps & features" and deployment tools read.
check_entry() {
  local entry=$1 value size_kb files_kb
  local uninstaller="\"$install_dir_windows\\Uninstall.exe\""
  for value in "DisplayName REG_SZ Cordshift" \
               "DisplayVersion REG_SZ $version" \
               "DisplayIcon REG_SZ $install_dir_windows\\Cordshift.exe,0" \
               "InstallLocation REG_SZ $install_dir_windows" \
               "UninstallString REG_SZ $uninstaller /$mode" \
               "QuietUninstallString REG_SZ $uninstaller /S /$mode" \
               "NoModify REG_DWORD 0x1" \
               "NoRepair REG_DWORD 0x1"; do
    grep -qxF "$value" <<<"$entry" ||
      fail "$mode: the uninstall entry lacks '$value':"$'\n'"$entry"
  done
  # In KB, of the installation folder's files.
  size_kb=$(sed -n 's/^EstimatedSize REG_DWORD //p' <<<"$entry")
  [ -n "$size_kb" ] || fail "$mode: the uninstall entry lacks EstimatedSize as a DWORD:"$'\n'"$entry"
  files_kb=$(find "$install_dir" -maxdepth 1 -type f -printf '%s\n' | awk '{ s += $1 } END { print int(s / 1024) }')
  local difference=$((size_kb - files_kb))
  [ "${difference#-}" -le 4 ] ||
    fail "$mode: EstimatedSize is $((size_kb)) KB, the installed files take $files_kb KB"
}

# One mode, from a new prefix to the uninstall.
check_mode() {
  mode=$1
  local user_dir="$work/$mode"
  mkdir -p "$user_dir"
  export CORDSHIFT_WINE_PREFIX="$user_dir/prefix"
  drive_c="$CORDSHIFT_WINE_PREFIX/drive_c"
  # The user's own installation as a user without root rights, where root
  # may start programs as another user; otherwise as this user.
  local wine_user
  if [ "$mode" = CurrentUser ] && [ "$(id -u)" -eq 0 ] && id nobody >/dev/null 2>&1 &&
     setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups true 2>/dev/null; then
    wine_user=nobody
    chmod 711 "$work"
    mkdir -p "$user_dir/home" "$user_dir/tmp"
    chown nobody "$user_dir" "$user_dir/home" "$user_dir/tmp"
    as_user=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups
             env HOME="$user_dir/home" USER=nobody LOGNAME=nobody TMPDIR="$user_dir/tmp")
  else
    wine_user=$(id -un)
    as_user=()
    [ "$mode" != CurrentUser ] ||
      echo "installer: note: $mode runs as $wine_user, since no other user can be taken here"
  fi
  local run_by="the Linux user $wine_user"
  local menu_dir other_root root
  if [ "$mode" = CurrentUser ]; then
    install_dir="$drive_c/users/$wine_user/AppData/Local/Programs/Cordshift"
    install_dir_windows="C:\\users\\$wine_user\\AppData\\Local\\Programs\\Cordshift"
    menu_dir="$drive_c/users/$wine_user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Cordshift"
    root=HKCU other_root=HKLM
  else
    install_dir="$drive_c/Program Files/Cordshift"
    install_dir_windows='C:\Program Files\Cordshift'
    menu_dir="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Cordshift"
    root=HKLM other_root=HKCU
  fi
  local key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Cordshift'

  # Not under a step's limit: wine-run.sh limits each boot step itself and
  # may boot twice.
  user_run "$wine_run" wineboot -i || fail "$mode: the new Wine prefix could not be made ready"
  snapshot >"$user_dir/before"

  # --- The earlier version, and the settings its window writes.
  windows "$previous_setup" /S "/$mode" ||
    fail "$mode: the silent install of the earlier version failed (status $?)"
  entry_values "$root\\$key" | grep -qxF "DisplayVersion REG_SZ $previous_version" ||
    fail "$mode: the earlier version has no uninstall entry under $root"
  wait_for_wine
  local window_log="$user_dir/window.log"
  user_run xvfb-run -a bash -c "$(declare -f start_and_close_window); start_and_close_window \"\$@\"" \
    bash "$wine_run" "$install_dir_windows\\Cordshift.exe" "$limit" >"$window_log" 2>&1 ||
    fail "$mode: the installed Cordshift.exe: $(cat "$window_log")"
  wait_for_wine
  # Beside the program when its folder can be written (here, since Wine
  # grants the Linux user's rights), otherwise in %APPDATA%\Cordshift.
  settings=$(cd "$drive_c" && find "./${install_dir#"$drive_c"/}" "./users/$wine_user/AppData/Roaming/Cordshift" \
               -name Cordshift.ini 2>/dev/null) || true
  [ "$(wc -l <<<"$settings")" -eq 1 ] && [ -n "$settings" ] ||
    fail "$mode: the window wrote no settings file, or more than one: '$settings'"
  grep -q '^\[Path\]' "$drive_c/$settings" || fail "$mode: $settings lacks its [Path] section"
  cp "$drive_c/$settings" "$user_dir/settings.ini"
  echo "installer ($mode): the installed Cordshift.exe starts, closes with status 0 and writes ${settings#./}"

  # --- The upgrade.
  windows "$setup" /S "/$mode" || fail "$mode: the silent upgrade failed (status $?)"
  wait_for_wine
  cmp -s "$drive_c/$settings" "$user_dir/settings.ini" ||
    fail "$mode: the upgrade did not keep ${settings#./} as it was"
  for file in Cordshift.exe cordshift-cli.exe README.md Uninstall.exe; do
    [ -f "$install_dir/$file" ] || fail "$mode: the install lacks $install_dir_windows\\$file"
  done
  cmp -s "$install_dir/README.md" "$repo/README.md" ||
    fail "$mode: the installed README.md is not the project's"
  for link in Cordshift 'Cordshift のアンインストール'; do
    [ -f "$menu_dir/$link.lnk" ] || fail "$mode: the Start menu lacks Cordshift\\$link.lnk"
  done
  local target
  target=$(grep -aoF "$install_dir_windows\\Cordshift.exe" "$menu_dir/Cordshift.lnk" | head -n1) || true
  [ -n "$target" ] ||
    fail "$mode: the Start-menu shortcut Cordshift.lnk does not point to $install_dir_windows\\Cordshift.exe"
  # Nothing outside the installation folder and the Start-menu folder.
  local added elsewhere
  added=$(comm -13 "$user_dir/before" <(snapshot))
  elsewhere=$(grep -vF -e "./${install_dir#"$drive_c"/}" -e "./${menu_dir#"$drive_c"/}" <<<"$added" |
              grep -vxF -e "$(dirname "./${install_dir#"$drive_c"/}")") || true
  [ -z "$elsewhere" ] || fail "$mode: the install wrote outside its folders:"$'\n'"$elsewhere"

  version=$(windows "$install_dir_windows\\cordshift-cli.exe" --version | tr -d '\r') ||
    fail "$mode: the installed cordshift-cli.exe --version failed"
  version=${version#cordshift-cli }
  local entry
  entry=$(entry_values "$root\\$key" | sed 's/    / /g') || fail "$mode: no uninstall entry $root\\$key"
  check_entry "$entry"
  if windows reg query "$other_root\\$key" >/dev/null 2>&1; then
    fail "$mode: the install wrote an uninstall entry under $other_root too"
  fi
  echo "installer ($mode, run by $run_by): upgrades $previous_version to $version keeping ${settings#./};" \
       "installs $(cd "$install_dir" && find . -maxdepth 1 -type f ! -name Cordshift.ini -printf '%P\n' | sort | paste -sd ' '), the Start-menu shortcuts and the uninstall entry under $root"

  [ "$mode" != AllUsers ] || check_conversions

  # --- Uninstall as deployment tools do, with the entry's own command:
  # nothing but the settings file (and its folder) stays.
  local quiet program arguments
  quiet=$(sed -n 's/^QuietUninstallString REG_SZ //p' <<<"$entry")
  program=${quiet#\"}
  program=${program%%\"*}
  read -r -a arguments <<<"${quiet#\""$program"\"}"
  windows "$program" "${arguments[@]}" || fail "$mode: $quiet failed (status $?)"
  wait_for_wine
  # Besides the settings, %LOCALAPPDATA%\Programs may stay: the user's
  # folder for programs, which Windows keeps for all of them.
  local leftovers missing
  leftovers=$(comm -13 "$user_dir/before" <(snapshot) |
              grep -vxF -e "$settings" -e "$(dirname "$settings")" \
                -e "./users/$wine_user/AppData/Local/Programs") || true
  [ -z "$leftovers" ] || fail "$mode: the uninstall left behind:"$'\n'"$leftovers"
  missing=$(comm -23 "$user_dir/before" <(snapshot)) || true
  [ -z "$missing" ] || fail "$mode: the install or uninstall removed:"$'\n'"$missing"
  cmp -s "$drive_c/$settings" "$user_dir/settings.ini" ||
    fail "$mode: the uninstall changed ${settings#./}"
  for r in HKLM HKCU; do
    for k in "$key" 'Software\Cordshift'; do
      if windows reg query "$r\\$k" >/dev/null 2>&1; then
        fail "$mode: the uninstall left the registry key $r\\$k behind"
      fi
    done
  done
  echo "installer ($mode): $quiet uninstalls; only ${settings#./} is left"
  user_run env WINEPREFIX="$CORDSHIFT_WINE_PREFIX" wineserver -k 2>/dev/null || true
}

check_mode CurrentUser
check_mode AllUsers
