#!/bin/sh
# ohmsift-cli as a process, as scripts run it: its exit statuses, what goes to standard error, and
# a full disk reported as a failure rather than passing for a listing written.
# Usage: process.sh [launcher...] ohmsift-cli
set -u
cli="$*"
failed=0
check() {  # check STATUS MESSAGE OUTPUT ARGS...: the status, and MESSAGE within standard error
  want=$1 message=$2 output=$3
  shift 3
  err=$($cli "$@" </dev/null 2>&1 >"$output")
  got=$?
  case $err in
    *"$message"*) [ "$got" -eq "$want" ] && return ;;
  esac
  echo "ohmsift-cli $*: status $got (not $want), said: $err" >&2
  failed=1
}
check 0 "" /dev/null 4700
check 1 'refused "abc"' /dev/null 4700 abc
check 2 "Try 'ohmsift-cli --help'" /dev/null --frobnicate
check 3 "ohmsift-cli: the output could not be written" /dev/full 4700
check 3 "could not be written" /dev/full --help
check 3 "could not be written" /dev/full --format=json 4700
exit $failed
