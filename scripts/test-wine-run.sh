#!/usr/bin/env bash
# Tests how a build's wine-run.sh makes a new Wine prefix ready, against a
# stand-in wineboot that fails, hangs or half-makes the prefix as told, then
# with Wine itself: two programs started at once in a new prefix, one boot.
#
#   scripts/test-wine-run.sh WINE_RUN   (a build's wine-run.sh)
set -euo pipefail
wine_run=$(realpath "${1:?usage: test-wine-run.sh WINE_RUN}")
work=$(mktemp -d "${TMPDIR:-/tmp}/cordshift-wine-run.XXXXXX")
trap 'WINEPREFIX="$work/wine" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
failed=0
check() { "${@:2}" || { echo "FAIL $1: ${*:2}" >&2; failed=1; }; }

# The stand-in does what the next word of $WORK/plan says, one per boot.
mkdir "$work/fake" "$work/real"
cat >"$work/fake/wineboot" <<'EOF'
#!/bin/bash
echo boot >>"$WORK/boots"
case $(sed -n "$(wc -l <"$WORK/boots")p" "$WORK/plan") in
  slow) sleep 1 ;;&
  hang) sleep 30 ;;&
  ok | slow | hang) mkdir -p "$WINEPREFIX/drive_c/windows/system32" &&
    touch "$WINEPREFIX/system.reg" "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ;;
  fail) touch "$WINEPREFIX/half-made"; exit 1 ;;
  no-dll) touch "$WINEPREFIX/system.reg" ;;
  *) exit 1 ;;
esac
EOF
printf '#!/bin/sh\n' >"$work/fake/wineserver"
chmod +x "$work/fake/"*

# plan | the prefix before | callers at once | status of each | boots
p="$work/prefix"
while IFS='|' read -r plan before callers want_status want_boots; do
  name="$before, $plan, $callers caller(s)"
  rm -rf "$p" "$p".* && : >"$work/boots" && tr ' ' '\n' <<<"$plan" >"$work/plan"
  case $before in
    empty) mkdir "$p" ;;
    half-made) mkdir "$p" && touch "$p/.cordshift-made" "$p/half-made" ;;
    foreign) mkdir "$p" && touch "$p/user-file" ;;
    ready) mkdir "$p" && touch "$p/.cordshift-made" "$p/.cordshift-ready" ;;
  esac
  pids=()
  for ((caller = 0; caller < callers; caller++)); do
    WORK=$work PATH="$work/fake:$PATH" CORDSHIFT_WINE_TIMEOUT=2 \
      CORDSHIFT_WINE_PREFIX="$p" "$wine_run" wineboot -i 2>/dev/null & pids+=($!)
  done
  for pid in "${pids[@]}"; do
    status=0 && wait "$pid" || status=$?
    check "$name" test "$status" = "$want_status"
  done
  check "$name" test "$(wc -l <"$work/boots")" = "$want_boots"
  if [ "$want_status" = 0 ]; then
    check "$name" test -f "$p/.cordshift-ready"
    check "$name" test ! -e "$p/half-made"
  else
    check "$name" test ! -e "$p/.cordshift-ready"
  fi
  [ "$before" != foreign ] || check "$name" test -f "$p/user-file"
done <<'EOF'
ok|empty|1|0|1
slow|new|4|0|1
fail ok|new|1|0|2
hang ok|new|1|0|2
no-dll ok|new|1|0|2
fail fail|new|1|1|2
ok|half-made|1|0|1
fail fail|foreign|1|1|2
|ready|1|0|0
EOF

# Wine itself, its wineboot counted.
printf '#!/bin/sh\necho boot >>"%s/real-boots"\nexec "%s" "$@"\n' \
  "$work" "$(command -v wineboot)" >"$work/real/wineboot"
chmod +x "$work/real/wineboot"
for caller in 1 2; do
  PATH="$work/real:$PATH" CORDSHIFT_WINE_PREFIX="$work/wine" \
    "$wine_run" cmd /c echo "hello $caller" >"$work/out$caller" 2>&1 &
done
wait
for caller in 1 2; do check "Wine" grep -q "hello $caller" "$work/out$caller"; done
check "Wine, one boot" test "$(cat "$work/real-boots")" = boot
[ "$failed" = 0 ] && echo "test-wine-run: all cases passed"
exit "$failed"
