# Sourced by installer_test.sh and main_job_test.sh, whose arguments are
# <test program> <LarkspanSetup.exe> <repository root>: a fresh Wine prefix of
# their own in a temporary folder, removed at the end with every process in it,
# so that the shared test prefix never sees the setup. Every Wine step is
# bounded by $limit (a fresh prefix takes about 12 s here).
set -uo pipefail
program=$1
setup=$2
root=$3
limit=180
work=$(mktemp -d /tmp/lkprefix.XXXXXX)
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
# Runs one bounded step with no input; the test fails with its exit status.
run() {
  local what=$1
  shift
  timeout $limit "$@" </dev/null || fail "$what exited with $?"
}
# Makes the prefix, then runs the shell commands $1 in the same bounded step.
make_prefix() {
  timeout $limit bash -c 'source "$0/tools/wine-env"; larkspan_wine_prefix; '"${1:-}" "$root" || fail "prefix not made"
}
