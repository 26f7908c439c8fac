#!/usr/bin/env bash
# make run: the real wizard, by hand, in one command.
#   run.sh BUILD_DIR
# Prepares a run folder outside the build tree (LOOM_RUN_DIR, default
# ~/Loomwise) as the wizard's own folder: Loomwise.exe, Branding.dll and the
# scan and build tools beside it (the project's stand-ins, or the real tools
# from LOOM_TOOLS_DIR), and points QM_ORIGIN at it, so the settings file
# (Wrenlow.ini) and the captures (Captures\<name>) land there, safe from
# `make clean`. The wizard then runs under Wine in a fresh prefix with the
# Chinese font links (tools/scripts/wine-run.sh):
#  - with a display (DISPLAY or LOOM_DISPLAY set): on that display, until
#    the wizard is closed;
#  - without one: on a private Xvfb; once the wizard's window is up its
#    picture is saved as run.png in the run folder and the run ends.
set -euo pipefail
B=$(cd "${1:-build}" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
run=${LOOM_RUN_DIR:-$HOME/Loomwise}
mkdir -p "$run/Captures"
run=$(cd "$run" && pwd)
case "$run/" in "$B"/*|"$root/build"/*)
  echo "run: LOOM_RUN_DIR ($run) is inside the build tree, where make clean would delete captures" >&2; exit 2;;
esac

win=$B/win64
tools=(snapshot.exe snapshot64.exe vregtool.exe vftool.exe tlink.exe)
cp -f "$win/Loomwise.exe" "$win/Branding.dll" "$run/"
for t in "${tools[@]}"; do
  if [[ -n ${LOOM_TOOLS_DIR:-} && -e $LOOM_TOOLS_DIR/$t ]]; then cp -f "$LOOM_TOOLS_DIR/$t" "$run/"
  else cp -f "$win/$t" "$run/"; fi
done

to_wine() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); echo "Z:${p//\//\\}"; }
export QM_ORIGIN
QM_ORIGIN=$(to_wine "$run/Loomwise.exe")
# With QM_ORIGIN set the wizard starts the build tools from its own folder
# (QUILLMARK_BIN is not consulted), so they are copied there above.
echo "run: the wizard's folder is $run (settings Wrenlow.ini, captures in Captures/)"

prefix=$B/wine/run
display=${LOOM_DISPLAY:-${DISPLAY:-}}
if [[ -n $display ]]; then
  echo "run: on display $display; close the wizard to end"
  LOOM_DISPLAY=$display LOOM_WINE_TIMEOUT=${LOOM_WINE_TIMEOUT:-86400} \
    bash "$root/tools/scripts/wine-run.sh" "$prefix" -- "$run/Loomwise.exe"
  exit
fi

# No display: a private one, and a picture of what it shows.
unset LOOM_DISPLAY
LOOM_WINE_TIMEOUT=${LOOM_WINE_TIMEOUT:-300} bash "$root/tools/scripts/wine-run.sh" "$prefix" -- "$run/Loomwise.exe" &
harness=$!
shown=""
for _ in $(seq 600); do
  sleep 0.5
  kill -0 "$harness" 2>/dev/null || break
  [[ -s $prefix/display ]] || continue
  if xwininfo -root -tree -display "$(cat "$prefix/display")" 2>/dev/null | grep -q '"Loomwise'; then
    sleep 2  # let the page paint
    import -display "$(cat "$prefix/display")" -window root "$run/run.png" && shown=yes
    break
  fi
done
# Ending the prefix's wineserver ends the wizard; the harness then cleans up.
WINEPREFIX=$(cd "$prefix" 2>/dev/null && pwd) && WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true
wait "$harness" 2>/dev/null || true
rm -rf "$prefix"
[[ -n $shown ]] || { echo "run: the wizard's window did not appear" >&2; exit 1; }
echo "run: no display, so the wizard ran on a private one; its picture is $run/run.png"
echo "run: to work it by hand, run with a display (DISPLAY=:0 make run, or LOOM_DISPLAY=:0)"
