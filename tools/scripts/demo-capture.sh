#!/usr/bin/env bash
# make demo-capture: the wizard with the real capture tool (snapshot64.exe of
# build/win64/capture) captures the sample installer in a fresh Wine prefix;
# the stand-in build tools build the generated project. Pictures of every
# step land in build/demo-capture/.
set -euo pipefail
B=${1:-build}
root=$(cd "$(dirname "$0")/../.." && pwd)
out="$B/demo-capture"
rm -rf "$out"
mkdir -p "$out"
abs=$(cd "$out" && pwd)
outw="Z:${abs//\//\\}"   # a Wine prefix maps / to drive Z:
echo "== the wizard with the real capture tool, capturing the sample installer"
LOOM_WINE_TIMEOUT=600 bash "$root/tools/scripts/wine-run.sh" "$B/wine/demo-capture" -- \
  "$B/win64/capture_demo.exe" "$outw"
for f in "$out"/*.bmp; do
  [[ -e $f ]] || continue
  convert "$f" "${f%.bmp}.png" && rm -f "$f"
done
echo "== pictures of every step are in $out/:"
ls -1 "$out" | grep png
