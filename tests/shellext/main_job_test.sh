#!/usr/bin/env bash
# The main job end to end in a fresh Wine prefix of its own (removed at the
# end): LarkspanSetup.exe /S installs and registers; main_job_tests then plays
# Explorer with the registered extension, drives the installed Larkspan.exe it
# starts through a whole backup and checks the copy on disk. With no DISPLAY
# the windows live on Wine's null display driver.
#   main_job_test.sh <main_job_tests.exe> <LarkspanSetup.exe> <repository root>
set -uo pipefail
tests=$1
setup=$2
root=$3
# Every Wine step is bounded; a fresh prefix takes about 12 s here.
limit=180

work=$(mktemp -d /tmp/lkmainjob.XXXXXX)
export LARKSPAN_WINEPREFIX=$work/prefix
source "$root/tools/wine-env"
cleanup() {
  wineserver -k >/dev/null 2>&1
  timeout 60 wineserver -w >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  exit 1
}

timeout $limit bash -c 'source "$0/tools/wine-env"
  larkspan_wine_prefix
  [ -n "${DISPLAY:-}" ] || wine reg add "HKCU\\Software\\Wine\\Drivers" /v Graphics /d null /f </dev/null >/dev/null 2>&1
  larkspan_wine_start' "$root" || fail "prefix not made"

echo "== install"
timeout $limit wine "$setup" /S </dev/null
status=$?
[ $status = 0 ] || fail "setup exited with $status"

echo "== Explorer's call, the program, the backup"
timeout $limit wine "$tests" </dev/null
status=$?
[ $status = 0 ] || fail "main job: exit status $status"
echo "main job test passed"
