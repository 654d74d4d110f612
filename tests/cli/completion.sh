#!/bin/bash
# shellcheck disable=SC1090,SC2317 # the file sourced is an argument; compopt is called from it
# Checks ohmsift-cli's bash completion as readline drives it: the line up to the cursor goes in,
# the replies come out. Usage: completion.sh PATH_TO_COMPLETION_FILE
completion=$(realpath -- "$1") || exit 1
# A space in the folder's own name makes sure no path is split on the way.
tmp=$(mktemp -d "${TMPDIR:-/tmp}/ohmsift completion.XXXXXX") || exit 1
trap 'rm -rf -- "$tmp"' EXIT
mkdir "$tmp/old parts" && touch "$tmp/drawer.txt" "$tmp/my stock.txt" "$tmp/old parts/box 2.txt"
cd "$tmp" && source "$completion" || exit 1
compopt() { nospace=" (nospace)"; } # the builtin works only under readline
failed=0
c() { # c EXPECTED LINE
  local nospace="" COMP_LINE=$2 COMP_POINT=${#2} COMP_WORDS COMP_CWORD
  read -ra COMP_WORDS <<<"$2" && COMP_CWORD=${#COMP_WORDS[@]} && _ohmsift_cli
  [[ "${COMPREPLY[*]}$nospace" == "$1" ]] && return
  echo "[$2] completed to [${COMPREPLY[*]}$nospace], not [$1]" && failed=1
}
c "--series --tolerance --count --only --without --format --parts --connect --range --spread --divider --feedback --adjust --ratio --pin-current --total --part-tolerance --within --help --version --" "ohmsift-cli -"
c "--without --within" "ohmsift-cli 4700 --wi"
c "--part-tolerance" "ohmsift-cli --divider 12 --part-t"
c "--version" "ohmsift-cli --ver"
c "E3 E6 E12 E24 E48 E96 E192" "ohmsift-cli --series "
c "E96" "ohmsift-cli --series E9"
c "e96" "ohmsift-cli --series e9"
c "e12 e192" "ohmsift-cli 2200 --series=e1"
c "text csv json" "ohmsift-cli --format "
c "JSON" "ohmsift-cli --format J"
c "series parallel any" "ohmsift-cli --parts 3 --connect "
c "json" "ohmsift-cli 4700 --format=j"
c "@drawer.txt" "ohmsift-cli --only @dr"
c "@drawer.txt" "ohmsift-cli --without=@d"
c '@my\ stock.txt' "ohmsift-cli --only @my"
c '@my\ stock.txt' 'ohmsift-cli --without=@my\ s'
c '@old\ parts/ (nospace)' "ohmsift-cli --only @ol"
c '@old\ parts/box\ 2.txt' 'ohmsift-cli --only @old\ parts/b'
for line in "ohmsift-cli " "ohmsift-cli --without " "ohmsift-cli --without=82" "ohmsift-cli --parts " \
  "ohmsift-cli --count 4" "ohmsift-cli --parts 2 --spread " "ohmsift-cli --divider " "ohmsift-cli --ratio " "ohmsift-cli --only 4k7" "ohmsift-cli -- -" "ohmsift-cli -- --series E"; do
  c "" "$line"
done
complete -p ohmsift-cli | grep -q "_ohmsift_cli ohmsift-cli$" || { echo "not registered"; failed=1; }
exit $failed
