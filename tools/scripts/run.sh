#!/usr/bin/env bash
# make run: the real wizard, by hand, in one command.
#   run.sh BUILD_DIR
# Prepares a run folder outside the build tree (LOOM_RUN_DIR, default
# ~/Loomwise) as the wizard's own folder: Loomwise.exe, Branding.dll and the
# tools beside it, and points QM_ORIGIN at it, so the settings file
# (Wrenlow.ini) and the captures (Captures\<name>) land there, safe from
# `make clean`. The tools: the real capture tool (snapshot64.exe) and the
# stand-in build tools; LOOM_RUN_TOOLS=standin uses the scripted stand-in
# scan tool with its fixtures instead; LOOM_TOOLS_DIR names a folder whose
# tools replace any of them. The wizard then runs under Wine in a fresh
# prefix with the Chinese font links (tools/scripts/wine-run.sh):
#  - with a display (DISPLAY or LOOM_DISPLAY set): on that display, until
#    the wizard is closed; `make run-install` installs the sample
#    application into the same prefix while the install page waits;
#  - LOOM_RUN_WALK=1: headless, the wizard is walked to Finish (the sample
#    installed on the install page), pictures in the run folder's walk/;
#  - otherwise on a private Xvfb; once the wizard's window is up its
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
# The real capture tool by default; the stand-in scan tool needs its fixtures
# (the suggested project and the sample application it names) beside it.
rm -f "$run/snapshot.exe" "$run/snapshot64.exe" "$run/suggested-project.ini" "$run/sample-app.exe" "$run/sample-help.ico"
if [[ ${LOOM_RUN_TOOLS:-real} == standin ]]; then
  cp -f "$win/snapshot.exe" "$win/snapshot64.exe" "$win/suggested-project.ini" "$win/sample-app.exe" \
    "$win/sample-help.ico" "$run/"
  echo "run: the stand-in scan tool (scripted, with its suggested project); LOOM_RUN_TOOLS=real for the capture tool"
else
  cp -f "$win/capture/snapshot64.exe" "$run/"
fi
cp -f "$win/Loomwise.exe" "$win/Branding.dll" "$win/vregtool.exe" "$win/vftool.exe" "$win/tlink.exe" "$run/"
for t in snapshot.exe snapshot64.exe vregtool.exe vftool.exe tlink.exe; do
  if [[ -n ${LOOM_TOOLS_DIR:-} && -e $LOOM_TOOLS_DIR/$t ]]; then cp -f "$LOOM_TOOLS_DIR/$t" "$run/"; fi
done

to_wine() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); echo "Z:${p//\//\\}"; }
export QM_ORIGIN
QM_ORIGIN=$(to_wine "$run/Loomwise.exe")
# With QM_ORIGIN set the wizard starts the build tools from its own folder
# (QUILLMARK_BIN is not consulted), so they are copied there above.
echo "run: the wizard's folder is $run (settings Wrenlow.ini, captures in Captures/)"

prefix=$B/wine/run
if [[ -n ${LOOM_RUN_WALK:-} ]]; then
  # Headless: the wizard walked to Finish by the capture demo's walker.
  unset LOOM_DISPLAY
  rm -rf "$run/walk"
  mkdir -p "$run/walk"
  echo "run: walking the wizard to Finish; pictures in $run/walk/"
  rc=0
  LOOM_WINE_TIMEOUT=${LOOM_WINE_TIMEOUT:-600} bash "$root/tools/scripts/wine-run.sh" "$prefix-walk" -- \
    "$win/capture_demo.exe" "$(to_wine "$run/walk")" "$QM_ORIGIN" "$(to_wine "$win/sample/SampleSetup.exe")" || rc=$?
  source "$root/tools/scripts/demo-pictures.sh"
  pictures_to_png "$run/walk"
  exit $rc
fi
display=${LOOM_DISPLAY:-${DISPLAY:-}}
if [[ -n $display ]]; then
  echo "run: on display $display; close the wizard to end"
  echo "run: when the wizard asks you to install the application, run 'make run-install' in a second shell"
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
echo "run: to work it by hand, run with a display (DISPLAY=:0 make run, or LOOM_DISPLAY=:0);"
echo "run: LOOM_RUN_WALK=1 make run walks it to Finish by itself, with a picture of every step"
