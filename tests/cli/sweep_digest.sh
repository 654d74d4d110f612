#!/usr/bin/env bash
# Whole targets through the command line, against digests recorded on x86 with the hardware's
# arithmetic: every target the window accepts as the window lists it (with its Japanese captions), and every third (and, over
# E192 with the widest band, every 97th) with every figure in full as JSON writes it. Any machine,
# either arithmetic path, must print the same bytes.
# Usage: sweep_digest.sh [launcher...] ohmsift-cli
set -u
# Under a Japanese locale, whose captions are the window's; installed or not, the program follows
# it (env, so that this shell does not try to take it on).
cli=(env -u LANGUAGE -u LC_MESSAGES -u LC_CTYPE -u LANG LC_ALL=ja_JP.UTF-8 "$@")
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
check 2545e1162f7d5d03d6d70739fc1b52db3fdbdbf048c2f4b15d9a17a7c7f6df78 101 3 --format json --count 100
check bc0947e232e5f31e2de9fa7302a56c8befa0d398d25767d3a14cb8da399d40a2 101 97 --format json --count 100 \
  --tolerance 50 --series E192
exit $failed
