#!/usr/bin/env bash
# make run-install: installs the sample application (SampleSetup.exe /S) into
# the Wine prefix of a running `make run`, as the wizard's install page asks.
#   run-install.sh BUILD_DIR
set -euo pipefail
B=$(cd "${1:-build}" && pwd)
prefix=$B/wine/run
if [[ ! -s $prefix/display ]]; then
  echo "run-install: no wizard is running (start it with 'make run' in another shell first)" >&2
  exit 1
fi
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all} DISPLAY
DISPLAY=$(cat "$prefix/display")
setup=$B/win64/sample/SampleSetup.exe
echo "run-install: installing the sample application ($setup /S) into the wizard's prefix"
wine "$setup" /S
echo "run-install: done; press the install page's postscan button (扫描后) in the wizard"
