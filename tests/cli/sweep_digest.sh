#!/bin/sh
# Every whole target the window accepts, through the command line, against the digest of the
# listing recorded on x86: any machine, any arithmetic path, must print the same bytes.
# Usage: sweep_digest.sh [launcher...] ohmsift-cli
set -eu
expected=687b5f4f06b42503c5230bbcc322b64adfd1da303748dbc932ad383d789f4ba4
actual=$(seq 101 999999 | "$@" | sha256sum | cut -d' ' -f1)
if [ "$actual" != "$expected" ]; then
  echo "listing of 101..999999 has digest $actual, expected $expected" >&2
  exit 1
fi
