# What the tool scripts share: a scratch folder, and checks that count failures and show the output.
# Sourced with the tool as $1.
set -u
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $1"; cat "$work/out" "$work/err"; failures=$((failures + 1)); }
expect() { # expect CODE DESCRIPTION -- COMMAND...
  local code=$1 what=$2; shift 3
  "$@" >"$work/out" 2>"$work/err"
  local got=$?
  [[ $got -eq $code ]] || fail "$what: exit $got, expected $code"
}
contains() { grep -qF -- "$2" "$1" || fail "$3: no '$2'"; }
