#!/usr/bin/env bash
# The desktop entry validates, and it and the AppStream data carry every language the
# window's catalogues do.
set -euo pipefail
entry="$1"
metainfo="$2"
translations="$3"

fail() {
  echo "translated entries: $*" >&2
  exit 1
}

desktop-file-validate "$entry"
languages=0
for ts in "$translations"/tavufe_*.ts; do
  code="${ts##*/tavufe_}"
  code="${code%.ts}"
  [ "$code" != en ] || continue
  languages=$((languages + 1))
  for key in Name GenericName Comment Keywords; do
    grep -q "^$key\[$code\]=." "$entry" || fail "the desktop entry has no $key[$code]"
  done
  for element in summary caption lang; do
    grep -q "<$element xml:lang=\"$code\">\|<lang>$code</lang>" "$metainfo" ||
      fail "the AppStream data has no $element in $code"
  done
  paragraphs="$(grep -c "<p xml:lang=\"$code\">" "$metainfo")"
  [ "$paragraphs" -eq "$(grep -c "<p>" "$metainfo")" ] ||
    fail "the AppStream description has $paragraphs paragraphs in $code"
done
[ "$languages" -ge 5 ] || fail "only $languages languages in $translations"
echo "Desktop entry and AppStream data: valid, in $languages languages besides English"
