#!/usr/bin/env bash
# `make run` as a newcomer meets it, headless: the run folder it prepares (the
# real capture tool, the stand-in build tools) walked to Finish, the sample
# installed on the install page; the project must land built in Captures\.
#   run_test.sh BUILD_DIR
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
run=$(mktemp -d /tmp/loomwise-run.XXXXXX)
trap 'rm -rf "$run"' EXIT
LOOM_RUN_DIR=$run LOOM_RUN_WALK=1 bash "$root/tools/scripts/run.sh" "$1" >"$run.log" 2>&1
rc=$?
grep -E "^(step|dialog|the |no |left)" "$run.log"
project=$(find "$run/Captures" -mindepth 1 -maxdepth 1 -type d | head -n 1)
fails=0
[[ $rc == 0 ]] || { echo "FAIL: the walk ended with $rc"; tail -20 "$run.log"; fails=1; }
[[ -n $project && -f $project/Package.ini && -f $project/build.bat ]] ||
  { echo "FAIL: no generated project in $run/Captures"; fails=1; }
ls "$project"/bin/*.exe >/dev/null 2>&1 || { echo "FAIL: no built package in $project/bin"; fails=1; }
rm -f "$run.log"
[[ $fails == 0 ]] && echo "run: the wizard walked to Finish and built $(basename "$project")"
exit $fails
