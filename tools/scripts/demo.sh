#!/usr/bin/env bash
# make demo: what Loomwise does, on this machine, headless.
#  1. loomctl edits a sample Package.ini without disturbing its layout;
#  2. the real wizard runs under Wine through a whole capture with the
#     project's stand-in scan and build tools; every page is saved as a
#     picture in build/demo/ (on a machine with a display, run
#     `LOOM_DISPLAY=:0 make demo` to watch it instead of a private Xvfb);
#  3. the same walk with the real capture tool, capturing the sample
#     installer in a fresh prefix (tools/scripts/demo-capture.sh,
#     pictures in build/demo-capture/).
set -euo pipefail
B=${1:-build}
root=$(cd "$(dirname "$0")/../.." && pwd)
out="$B/demo"
rm -rf "$out"
mkdir -p "$out"

echo "== loomctl: editing a Package.ini by script"
ini="$out/Package.ini"
printf '\xff\xfe' >"$ini"
iconv -f UTF-8 -t UTF-16LE >>"$ini" <<'INI'
; Project of a captured application
[BuildOptions]
;PrimaryDataContainer=Demo App.dat
InventoryName=Demo App
OutDir=bin

[Demo App.exe]
Source=%ProgramFilesDir%\Demo App\app.exe
INI
ctl="$B/native/loomctl"
set -x
"$ctl" ini "$ini" sections
"$ctl" ini "$ini" get BuildOptions OutDir
"$ctl" ini "$ini" set BuildOptions PrimaryDataContainer "Demo App.dat"
"$ctl" ini "$ini" set BuildOptions Compression Fast
"$ctl" ini "$ini" comment "Demo App.exe" Source
set +x
echo "-- the file afterwards (comments and order kept):"
iconv -f UTF-16LE -t UTF-8 "$ini" | sed 's/^\xef\xbb\xbf//'

echo
echo "== the wizard: a whole capture under Wine"
rm -f "$out"/*.bmp
source "$root/tools/scripts/demo-pictures.sh"
run_demo demo "$B/win64/demo.exe" "$out"

echo
echo "== the built package files of that capture, and the attribute table of one"
ls -1 "$out/project/bin"
set -x
"$ctl" package "$out/project/bin/Demo App.exe"
set +x

echo
bash "$root/tools/scripts/demo-capture.sh" "$B"
