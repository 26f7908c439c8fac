#!/usr/bin/env bash
# Installs whatever the build, the tests and the demo need and is missing.
# Idempotent: when everything is present it only asks dpkg and returns.
set -euo pipefail

packages=(
  cmake ninja-build make g++ clang libclang-rt-14-dev googletest python3 file
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools
  wine wine64 xvfb xauth x11-utils imagemagick fonts-wqy-microhei
  # Real installer engines for the capture tests, a browser for the report picture,
  # and ccache to share compiled objects between build trees.
  nsis wixl chromium ccache
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  [[ $(id -u) -eq 0 ]] || SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get -o DPkg::Lock::Timeout=900 update -q
  # With their recommendations: Wine needs fonts-wine, libxrender1 and friends to draw.
  $SUDO apt-get -o DPkg::Lock::Timeout=900 install -y -q "${missing[@]}"
fi

# The MinGW -posix compilers are what the toolchain files name.
for c in x86_64-w64-mingw32-g++-posix i686-w64-mingw32-g++-posix; do
  command -v "$c" >/dev/null || { echo "setup: $c missing after install" >&2; exit 1; }
done
