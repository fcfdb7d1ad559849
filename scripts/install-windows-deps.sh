#!/usr/bin/env bash
# Installs what the Windows build and the packages need on Debian: the
# MinGW-w64 cross compiler, Wine to run the Windows programs, the Japanese
# locale under which Wine uses code page 932 as the ANSI code page, and the
# tools that make and check the packages (help2man writes the manual page;
# makensis builds the Windows installer; lintian, appstreamcli and
# desktop-file-validate check the Debian package; man renders the manual page
# for the check; objdump from the MinGW binutils lists the DLLs the Windows
# programs import; the installer's test starts the installed window on a
# virtual display and waits for it with xwininfo; Wine's own fonts draw the
# frame's buttons of windows that Wine decorates itself; wrestool lists the
# icon and version resources of the programs, icotool and rsvg-convert make
# the icon from its SVG; xdotool and xwd page through the installer on a
# virtual display for its screenshot).
# Idempotent: what is already there is neither fetched nor generated again.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix
  wine
  wine64
  locales
  googletest
  libcli11-dev
  nlohmann-json3-dev
  cmake
  ninja-build
  dpkg-dev
  file
  unzip
  help2man
  lintian
  appstream
  desktop-file-utils
  man-db
  nsis
  xvfb
  xauth
  x11-utils
  fonts-wine
  icoutils
  librsvg2-bin
  xdotool
  x11-apps
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# locale -a spells the name "ja_JP.utf8".
if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
  echo "Generating the ja_JP.UTF-8 locale"
  "${sudo_cmd[@]}" sed -i 's/^# *\(ja_JP\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  if ! grep -q '^ja_JP\.UTF-8 UTF-8' /etc/locale.gen; then
    echo 'ja_JP.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${sudo_cmd[@]}" locale-gen
fi
