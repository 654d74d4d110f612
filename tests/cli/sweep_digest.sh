#!/usr/bin/env bash
# Whole targets through the command line, against digests recorded on x86 with the hardware's
# arithmetic: every target the window accepts as the window lists it, and every third (and, over
# E192 with the widest band, every 97th) with every figure in full as JSON writes it. Any machine,
# either arithmetic path, must print the same bytes.
# Usage: sweep_digest.sh [launcher...] ohmsift-cli
set -u
cli=("$@")
failed=0
check() {  # check DIGEST FIRST STEP OPTIONS...
  local expected=$1 first=$2 step=$3 actual
  shift 3
  actual=$(seq "$first" "$step" 999999 | "${cli[@]}" "$@" 2>/dev/null | sha256sum | cut -d' ' -f1)
  [ "$actual" = "$expected" ] && return
  echo "ohmsift-cli $* over $first, $((first + step)) ... 999999 has digest $actual, not $expected" >&2
  failed=1
}
check 687b5f4f06b42503c5230bbcc322b64adfd1da303748dbc932ad383d789f4ba4 101 1
check 4bd494bcfc85855de77e02382db2c501c25d4ec579aa0a4a40e897efa03570c5 101 3 --format json --count 100
check c8255d41c2a2b757a770e462b2861fc769838d34677bd1ad304a08f2409c0ad6 101 97 --format json --count 100 \
  --tolerance 50 --series E192
exit $failed
