#!/usr/bin/env bash
# Runs one Windows program under Wine in a fresh prefix with its own Xvfb.
#   wine-run.sh PREFIX_DIR [--keep-display FILE] -- PROGRAM.exe [ARGS...]
# The prefix is made anew (inside the build tree), the registry gets the
# settings the tests rely on (no window manager needed, Chinese font link),
# and the wineserver and Xvfb this script started are always ended, by PID
# and by prefix, also when the program hangs (LOOM_WINE_TIMEOUT seconds).
# LOOM_DISPLAY=:0 uses that display instead of a private Xvfb.
# A prefix (about 700 MB) is removed after a successful run and kept after a
# failed one for a look inside; LOOM_KEEP_PREFIX=1 keeps it always.
# LOOM_WINE_STDERR=FILE sends the program's standard error, with Wine's traces
# of it and of the programs it starts, to FILE.
set -u
prefix=$1; shift
while [[ $# -gt 0 && $1 != -- ]]; do shift; done
[[ ${1:-} == -- ]] && shift
[[ $# -gt 0 ]] || { echo "usage: wine-run.sh PREFIX -- PROGRAM [ARGS]" >&2; exit 2; }

here=$(cd "$(dirname "$0")" && pwd)
timeout_s=${LOOM_WINE_TIMEOUT:-300}

rm -rf "$prefix"
mkdir -p "$prefix"
export WINEPREFIX=$(cd "$prefix" && pwd)
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
# No Mono/Gecko install prompts while the prefix boots.
export WINEDLLOVERRIDES="mscoree=;mshtml="

xpid=""
rc=1
cleanup() {
  wineserver -k >/dev/null 2>&1
  if [[ -n $xpid ]]; then kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null; fi
  if [[ $rc -eq 0 && -z ${LOOM_KEEP_PREFIX:-} ]]; then rm -rf "$WINEPREFIX"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [[ -n ${LOOM_DISPLAY:-} ]]; then
  export DISPLAY=$LOOM_DISPLAY  # a real display, to watch the program
else
  # Xvfb picks a free display itself and tells us which.
  dfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dfile" >/dev/null 2>&1 &
  xpid=$!
  for _ in $(seq 100); do [[ -s $dfile ]] && break; sleep 0.05; done
  disp=$(tr -dc 0-9 <"$dfile"); rm -f "$dfile"
  [[ -n $disp ]] || { echo "wine-run: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=:$disp
fi
echo "$DISPLAY" >"$WINEPREFIX/display"

wineboot -i >/dev/null 2>&1
wine regedit /S "$(winepath -w "$here/wine-prefix.reg" 2>/dev/null)" >/dev/null 2>&1
wineserver -w

prog=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); shift
cd "$(dirname "$prog")"
set -- "$prog" "$@"
[[ -n ${LOOM_WINE_STDERR:-} ]] && exec 2>"$LOOM_WINE_STDERR"
timeout --kill-after=10 "$timeout_s" wine "$@"
rc=$?
[[ $rc -eq 124 ]] && echo "wine-run: $1 did not finish within ${timeout_s}s" >&2
exit $rc
