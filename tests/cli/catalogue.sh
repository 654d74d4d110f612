#!/bin/sh
# Every text of ohmsift-cli that the locale may translate has its Japanese translation in
# po/ja.po, none fuzzy or empty, each format's directives as in the English.
# Usage: catalogue.sh SOURCE_DIR
set -eu
pot=$(mktemp) && trap 'rm -f "$pot"' EXIT
LC_ALL=C.UTF-8 xgettext --from-code=UTF-8 --language=C++ --keyword=Tr --keyword=Trf --keyword=N_ \
  --flag=Trf:1:c-format --no-location -o "$pot" "$1"/src/cli/*.cpp "$1"/src/cli/*.h 2>/dev/null
msgcmp "$1/po/ja.po" "$pot"
said=$(LC_ALL=C msgfmt --check --statistics -o /dev/null "$1/po/ja.po" 2>&1)
case $said in
  *fuzzy* | *untranslated*) echo "po/ja.po: $said" >&2; exit 1 ;;
esac
