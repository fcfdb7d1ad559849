# Sourced by the scripts that start the Windows window under Wine on the
# samples (scripts/screenshot-windows.sh, bench/window-startup-wine.sh).
# Given $repo and $build_dir (a Windows build), it gives the build's Wine
# prefix (which wine-run.sh boots if new) the window's fonts, copies examples/ to
# C:\Cordshift-samples and Cordshift.exe to C:\Cordshift, and sets
# $wine_run, $prefix, $samples and $program; stage_settings writes the
# program's settings file for the samples' hipot\main. Both folders go
# again when the script ends.

wine_run="$build_dir/wine-run.sh"
for file in "$build_dir/src/window/win32/Cordshift.exe" "$wine_run"; do
  if [ ! -e "$file" ]; then
    echo "$(basename "$0"): $file not found; build first" >&2
    exit 1
  fi
done
# The prefix the wrapper sets (CORDSHIFT_WINE_PREFIX picks another).
prefix=$(sh -c "$(grep '^export WINEPREFIX=' "$wine_run"); echo \"\$WINEPREFIX\"")
if [ -z "$prefix" ]; then
  echo "$(basename "$0"): no Wine prefix in $wine_run" >&2
  exit 1
fi
"$repo/scripts/wine-window-fonts.sh" "$wine_run"

samples="$prefix/drive_c/Cordshift-samples"
program="$prefix/drive_c/Cordshift"
rm -rf "$samples" "$program"
cp -r "$repo/examples" "$samples"
mkdir -p "$program"
cp "$build_dir/src/window/win32/Cordshift.exe" "$program/Cordshift.exe"

# Shift-JIS and CR LF, as the program keeps its settings: the hipot-to-
# continuity direction, in which every control is visible.
stage_settings() {
  local source=${1:-'C:\Cordshift-samples\hipot\main\'}
  printf '%s\r\n' \
    '[Path]' \
    "SrcDir=$source" \
    'DstDir=C:\Cordshift-samples\converted\' \
    '[Direction]' 'Hp2Lv=1' 'ABorSeq=0' \
    '[Inspection]' 'Equipment=TBL480' 'Lower=0' 'Upper=2000' 'OverWrite=0' \
    >"$program/Cordshift.ini"
}
