#!/usr/bin/env bash
# check-pe.sh BUILD_DIR ARCH: every program of a Windows build tree was
# linked, and for the expected machine (i386 or x86-64).
set -eu
dir=$1 arch=$2
case $arch in i386) want='Intel 80386' ;; *) want='x86-64' ;; esac
n=0
for exe in "$dir"/*.exe "$dir"/capture/*.exe "$dir"/sample/*.exe; do
  [[ -e $exe ]] || continue
  file -b "$exe" | grep -q "PE32.*$want" || { echo "$exe: $(file -b "$exe")"; exit 1; }
  echo "ok  $(basename "$exe"): $(file -b "$exe")"
  n=$((n + 1))
done
[[ $n -gt 0 ]] || { echo "no programs in $dir"; exit 1; }
