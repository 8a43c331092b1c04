#!/usr/bin/env bash
# The main job end to end in a throwaway Wine prefix: LarkspanSetup.exe /S
# installs and registers; main_job_tests then plays Explorer with the registered
# extension, drives the installed Larkspan.exe it starts through a whole backup
# and checks the copy on disk. With no DISPLAY the windows live on Wine's null
# display driver.
#   main_job_test.sh <main_job_tests.exe> <LarkspanSetup.exe> <repository root>
source "$(dirname "$0")/throwaway_prefix.sh"
make_prefix '[ -n "${DISPLAY:-}" ] ||
  wine reg add "HKCU\\Software\\Wine\\Drivers" /v Graphics /d null /f </dev/null >/dev/null 2>&1
  larkspan_wine_start'

echo "== install"
run "setup" wine "$setup" /S
echo "== Explorer's call, the program, the backup"
run "main job" wine "$program"
echo "main job test passed"
