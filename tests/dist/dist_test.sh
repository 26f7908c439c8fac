#!/usr/bin/env bash
# The release zips as a user gets them: README-Windows.txt lists exactly what
# each zip holds, and the 64-bit zip, unpacked with nothing added, captures
# the sample installer and builds the project with what it carries.
#   dist_test.sh BUILD_DIR WORK_DIR
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
B=$(cd "$1" && pwd)
W=$2
rm -rf "$W"
mkdir -p "$W"
W=$(cd "$W" && pwd)
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }

bash "$root/tools/scripts/dist.sh" "$B" "$W/zips" >/dev/null || { echo "FAIL: dist.sh"; exit 1; }
# The names README-Windows.txt lists under "What is in this folder" (first
# column), without the 32-bit zip's own for the 64-bit zip.
listed() {
  sed -n '/^What is in this folder/,/^$/p' "$root/tools/dist/README-Windows.txt" |
    grep -E '^  [A-Za-z][^ ]*\.(exe|dll|reg|txt) ' | { if [[ $1 == win64 ]]; then grep -v '(32-bit zip only)'; else cat; fi; } |
    awk '{ print $1 }' | tr '\\' '/' | sort
}
for zip in "$W"/zips/*.zip; do
  arch=${zip##*-}; arch=${arch%.zip}
  held=$(python3 -c 'import sys, zipfile; [print(n.split("/", 1)[1]) for n in zipfile.ZipFile(sys.argv[1]).namelist()]' "$zip" | sort)
  [[ $held == "$(listed "$arch")" ]] || fail "$arch zip and README-Windows.txt differ: $(diff <(echo "$held") <(listed "$arch") | grep '^[<>]' | tr '\n' ' ')"
done

# Unpacked as it is, the 64-bit zip walked through a whole capture and build.
zip=$(ls "$W"/zips/*-win64.zip)
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$W/unpacked"
folder=$(ls -d "$W"/unpacked/*/)
folder=${folder%/}
wine_path() { echo "Z:${1//\//\\}"; }
mkdir -p "$W/walk"
LOOM_WINE_TIMEOUT=${LOOM_WINE_TIMEOUT:-540} bash "$root/tools/scripts/wine-run.sh" "$B/wine/dist" -- \
  "$B/win64/capture_demo.exe" "$(wine_path "$W/walk")" "$(wine_path "$folder/Loomwise.exe")" \
  "$(wine_path "$folder/sample/SampleSetup.exe")" >"$W/walk.log" 2>&1 ||
  { fail "the unpacked zip did not capture and build: $(tail -5 "$W/walk.log")"; }
grep -E "^(dialog|the project|no built)" "$W/walk.log"
ls "$folder"/Captures/*/bin/*.exe >/dev/null 2>&1 || fail "no built package under $folder/Captures"
[[ $fails == 0 ]] && { echo "dist: the zips hold what README-Windows.txt lists; the unpacked win64 zip captured and built"; rm -rf "$W"; }
exit $((fails > 0))
