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
start=$SECONDS
echo "== the wizard with the real capture tool, capturing the sample installer"
source "$root/tools/scripts/demo-pictures.sh"
run_demo demo-capture "$B/win64/capture_demo.exe" "$out"

echo
echo "== the generated project folder (Package.ini, the captured files under their folder macros, the registry per hive, build.bat, the built packages in bin)"
( cd "$out/project" && find . -type f | sed 's|^\./||' | sort )
for reg in "$out/project"/HKEY_*.reg; do
  echo "-- the head of $(basename "$reg") (the standard .reg format, UTF-16LE; string data with folder macros):"
  iconv -f UTF-16LE -t UTF-8 "$reg" | sed 's/^\xef\xbb\xbf//' | tr -d '\r' | head -n 12
done
echo "-- the head of its Package.ini:"
iconv -f UTF-16LE -t UTF-8 "$out/project/Package.ini" | sed 's/^\xef\xbb\xbf//' | tr -d '\r' | head -n 30
echo "-- the attribute table of one built package:"
pkg=$(find "$out/project/bin" -maxdepth 1 -iname '*.exe' | sort | head -n 1)
set -x
"$B/native/loomctl" package "$pkg"
set +x
echo
echo "== loomctl report: what the capture holds, as one HTML page, and its picture"
set -x
"$B/native/loomctl" report "$out/project" -o "$out/report.html"
set +x
# Headless Chromium draws the page; its profile and cache stay in the output folder.
chromium --headless --disable-gpu --no-sandbox --hide-scrollbars --user-data-dir="$out/.chromium" \
  --window-size=1000,1300 --screenshot="$out/report.png" "file://$(cd "$out" && pwd)/report.html" 2>/dev/null
rm -rf "$out/.chromium"
echo "picture: $out/report.png"
echo "== the capture demo took $((SECONDS - start)) s"
