#!/usr/bin/env bash
# LarkspanSetup.exe under Wine in a throwaway prefix: nothing there before;
# silent install, and once more over it; files, registry and loading through
# the registration checked; silent uninstall as the installed-programs list runs
# it (the uninstaller hands over to a copy of itself and returns at once: the
# prefix's server is waited for); everything gone but the settings file.
#   installer_test.sh <installer_check.exe> <LarkspanSetup.exe> <repository root>
source "$(dirname "$0")/throwaway_prefix.sh"
state="Z:${work//\//\\}\\state.txt"
make_prefix

echo "== before"
run "state before the setup" wine "$program" before "$state"

echo "== install, twice (the second over the first)"
run "setup round 1" wine "$setup" /S
run "setup round 2" wine "$setup" /S
out=$(timeout $limit wine "$program" installed </dev/null)
status=$?
echo "$out"
[ $status = 0 ] || fail "installed state"
uninstaller=$(sed -n 's/^UNINSTALLER=//p' <<<"$out" | tr -d '\r')
[ -n "$uninstaller" ] || fail "no uninstaller named"

echo "== uninstall"
run "uninstaller" wine "$uninstaller" /S
run "waiting for every process of the prefix (the uninstaller's copy)" wineserver -w
run "uninstalled state" wine "$program" uninstalled "$state"
echo "installer test passed"
