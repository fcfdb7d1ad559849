#!/usr/bin/env bash
# Gives a Wine prefix the window's fonts: ＭＳ ゴシック and MS UI Gothic are
# Windows fonts, for which the prefix takes the IPA fonts (fonts-ipafont-
# gothic), so that the window's text measures as it does on Windows; then
# waits until the prefix is idle.
#
#   scripts/wine-window-fonts.sh WINE_RUN   (a build's wine-run.sh)
set -euo pipefail
wine_run=${1:?usage: wine-window-fonts.sh WINE_RUN}
key='HKCU\Software\Wine\Fonts\Replacements'
for font in 'ＭＳ ゴシック=IPAGothic' 'MS UI Gothic=IPAPGothic'; do
  "$wine_run" reg add "$key" /v "${font%%=*}" /t REG_SZ /d "${font#*=}" /f \
    >/dev/null
done
# Wine's own fonts (fonts-wine), among them Marlett for the buttons of the
# frames Wine draws: this Wine looks for them only in the prefix.
if [ -d /usr/share/wine/fonts ]; then
  "$wine_run" cmd /c 'copy /y Z:\usr\share\wine\fonts\*.ttf C:\windows\Fonts\' \
    >/dev/null
fi
# A window started while Wine's start-up services still run in the prefix
# has been seen to wait for ever: the prefix goes idle first.
prefix=$(sh -c "$(grep '^export WINEPREFIX=' "$wine_run"); echo \"\$WINEPREFIX\"")
WINEPREFIX="$prefix" timeout 60 wineserver -w || true
