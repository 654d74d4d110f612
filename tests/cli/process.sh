#!/bin/sh
# ohmsift-cli as a process, as scripts run it: its exit statuses, what goes to standard error, and
# failures to read or write reported with the system's reason rather than passing for success,
# and a value typed at a terminal answered as it is typed.
# Usage: process.sh [launcher...] ohmsift-cli
set -u
# English, whatever the machine's locale: the messages checked are the English ones.
unset LANGUAGE LC_MESSAGES LC_CTYPE LANG
export LC_ALL=C.UTF-8
failed=0
check() {  # check STATUS MESSAGE INPUT OUTPUT ARGS...: the status, and MESSAGE within stderr
  want=$1 message=$2 input=$3 output=$4
  shift 4
  if [ "$input" = closed ]; then
    err=$("$@" <&- 2>&1 >"$output")
  else
    err=$("$@" <"$input" 2>&1 >"$output")
  fi
  got=$?
  case $err in
    *"$message"*) [ "$got" -eq "$want" ] && return ;;
  esac
  echo "$*: status $got (not $want), said: $err" >&2
  failed=1
}
check 0 "" /dev/null /dev/null "$@" 4700
check 1 'refused "abc"' /dev/null /dev/null "$@" 4700 abc
check 2 "Try 'ohmsift-cli --help'" /dev/null /dev/null "$@" --frobnicate
check 2 "cannot read standard input: Is a directory" / /dev/null "$@"
check 2 "cannot read standard input: Bad file descriptor" closed /dev/null "$@"
check 3 "the output could not be written: No space left on device" /dev/null /dev/full "$@" 4700
check 3 "could not be written: No space" /dev/null /dev/full "$@" --help
check 3 "could not be written: No space" /dev/null /dev/full "$@" 4700 abc
values=$(mktemp) && seq 101 999 >"$values"  # more than the output's buffer holds
check 3 "could not be written: No space" "$values" /dev/full "$@"
# At a terminal a typed value is answered at once, not when the input ends.
command=exec typed=$(mktemp) answered=$(mktemp)
for a; do command="$command '$a'"; done
{ echo 4700; for _ in $(seq 200); do grep -q "Results for" "$typed" && echo yes >"$answered" && break; sleep 0.05; done; } |
  timeout 30 script -qfec "$command" /dev/null >"$typed"
grep -q yes "$answered" || { echo "at a terminal, not answered before the input ended" >&2; failed=1; }
rm -f "$values" "$typed" "$answered"
exit $failed
