#!/usr/bin/env bash
# make dist: loomwise-VERSION-win64.zip and loomwise-VERSION-win32.zip in
# build/dist (or OUT), each with the wizard, the capture tool, loomctl.exe,
# the sample Branding.dll, the sample installer, the stand-in build tools
# beside the wizard (where it looks for the build tools) and a short text for
# Windows users.
#   dist.sh BUILD_DIR [OUT]
set -euo pipefail
B=${1:-build}
root=$(cd "$(dirname "$0")/../.." && pwd)
# The version made from project(VERSION) by the build.
version=$(sed -n 's/^#define LOOMWISE_VERSION "\(.*\)"/\1/p' "$B/win64/generated/app/Version.h")
[ -n "$version" ] || { echo "dist: no version in $B/win64/generated/app/Version.h" >&2; exit 1; }
dist=${2:-$B/dist}
rm -rf "$dist"
mkdir -p "$dist"

pack() {  # arch tree tools...
  local arch=$1 tree=$2; shift 2
  local name="loomwise-$version-$arch" stage="$dist/loomwise-$version-$arch"
  mkdir -p "$stage/sample"
  cp "$tree/Loomwise.exe" "$tree/Branding.dll" "$tree/loomctl.exe" "$stage/"
  for tool in "$@"; do cp "$tool" "$stage/"; done
  # Stand-ins, beside the wizard so that a first capture builds; the real
  # build tools replace them.
  cp "$tree/vregtool.exe" "$tree/vftool.exe" "$tree/tlink.exe" "$stage/"
  cp "$tree/sample/SampleSetup.exe" "$stage/sample/"
  sed 's/$/\r/' "$root/tools/dist/README-Windows.txt" >"$stage/README-Windows.txt"
  # For Wine users: the Chinese font links of the test prefixes, alone.
  { printf '\xff\xfe'; iconv -f UTF-16LE -t UTF-8 "$root/tools/scripts/wine-prefix.reg" | sed '1s/^\xef\xbb\xbf//' |
    awk 'NR == 1 { print; print "\r"; next } /^\[/ { keep = /FontLink/ } keep' | iconv -f UTF-8 -t UTF-16LE; } \
    >"$stage/wine-fonts.reg"
  # Without debug information: what a user downloads stays small.
  local strip=x86_64-w64-mingw32-strip
  [[ $arch == win32 ]] && strip=i686-w64-mingw32-strip
  find "$stage" -name '*.exe' | while read -r exe; do
    case $(file -b "$exe") in *80386*) i686-w64-mingw32-strip "$exe" ;; *) x86_64-w64-mingw32-strip "$exe" ;; esac
  done
  $strip "$stage/Branding.dll" 2>/dev/null || true
  (cd "$dist" && python3 - "$name" <<'PY'
import os, sys, zipfile
name = sys.argv[1]
with zipfile.ZipFile(name + ".zip", "w", zipfile.ZIP_DEFLATED) as z:
    for folder, _, files in os.walk(name):
        for f in sorted(files):
            z.write(os.path.join(folder, f))
PY
  )
  echo "$dist/$name.zip"
}

# The 64-bit wizard runs snapshot64.exe; the 32-bit wizard runs snapshot64.exe
# on 64-bit Windows and snapshot.exe elsewhere, so it ships both.
pack win64 "$B/win64" "$B/win64/capture/snapshot64.exe"
pack win32 "$B/win32" "$B/win32/capture/snapshot.exe" "$B/win64/capture/snapshot64.exe"
