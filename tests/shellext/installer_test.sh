#!/usr/bin/env bash
# LarkspanSetup.exe under Wine, in a throwaway prefix of its own (made fresh,
# removed at the end, so that the shared test prefix never sees the setup):
# nothing there before; silent install, and once more over it; files, registry
# and loading through the registration checked; silent uninstall as the
# installed-programs list runs it (the uninstaller hands over to a copy of
# itself and returns at once: the prefix's server is waited for); everything
# gone but the settings file.
#   installer_test.sh <installer_check.exe> <LarkspanSetup.exe> <repository root>
set -uo pipefail
check=$1
setup=$2
root=$3
# Every Wine step is bounded; a fresh prefix takes about 12 s here.
limit=180

work=$(mktemp -d /tmp/lkinstall.XXXXXX)
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
# Windows form (drive Z:) of a host path.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

state=$(winpath "$work/state.txt")
timeout $limit bash -c 'source "$0/tools/wine-env"; larkspan_wine_prefix' "$root" || fail "prefix not made"

echo "== before"
timeout $limit wine "$check" before "$state" </dev/null || fail "state before the setup"

echo "== install, twice (the second over the first)"
for round in 1 2; do
  timeout $limit wine "$setup" /S </dev/null
  status=$?
  [ $status = 0 ] || fail "setup round $round exited with $status"
done
out=$(timeout $limit wine "$check" installed </dev/null)
status=$?
echo "$out"
[ $status = 0 ] || fail "installed state"
uninstaller=$(sed -n 's/^UNINSTALLER=//p' <<<"$out" | tr -d '\r')
[ -n "$uninstaller" ] || fail "no uninstaller named"

echo "== uninstall"
timeout $limit wine "$uninstaller" /S </dev/null
status=$?
[ $status = 0 ] || fail "uninstaller exited with $status"
# Its copy in the temporary folder does the work: wait until every process of
# the prefix has ended.
timeout $limit wineserver -w || fail "uninstaller did not end"
timeout $limit wine "$check" uninstalled "$state" </dev/null || fail "uninstalled state"
echo "installer test passed"
