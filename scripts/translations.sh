#!/usr/bin/env bash
# The catalogues in translations/ against the sources: with no argument, refreshes every .ts
# from the window's code (src/app) and the page's HTML and script (lupdate), keeping what is
# translated and adding each new text unfinished; with --check, changes nothing and fails when
# a text of the window or the page has no finished entry in a catalogue, or a catalogue's
# language is missing from the window's Language menu or the page's selector.
set -euo pipefail
cd "$(dirname "$0")/.."

check=0
case "${1:-}" in
  --check) check=1 ;;
  "") ;;
  *) echo "usage: scripts/translations.sh [--check]" >&2; exit 2 ;;
esac

lupdate="$(command -v lupdate6 || command -v lupdate || echo /usr/lib/qt6/bin/lupdate)"
[ -x "$lupdate" ] || { echo "translations: lupdate not found (package qt6-l10n-tools)" >&2; exit 1; }

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
# The page's texts as plain qsTr calls in a file named as its script, so that they have its
# context.
mkdir "$scratch/page"
python3 tools/page_texts.py web/page.html web/page.js web/translate.js > "$scratch/page/page.js"
sources=(src/app "$scratch/page/page.js")

catalogues=(translations/tavufe_*.ts)
if [ "$check" -eq 1 ]; then
  cp "${catalogues[@]}" "$scratch/"
  catalogues=("$scratch"/tavufe_*.ts)
fi
for ts in "${catalogues[@]}"; do
  # English is the sources' language: its catalogue holds only the plurals' forms.
  only=()
  case "$ts" in *_en.ts) only=(-pluralonly) ;; esac
  "$lupdate" -silent -locations none -no-obsolete -I src "${only[@]}" "${sources[@]}" -ts "$ts"
done

if [ "$check" -eq 1 ]; then
  python3 - "${catalogues[@]}" <<'PY'
import sys
import xml.etree.ElementTree as ET

missing = 0
for path in sys.argv[1:]:
    name = path.rsplit("/", 1)[-1]
    for context in ET.parse(path).getroot().iter("context"):
        for message in context.iter("message"):
            translation = message.find("translation")
            forms = [translation.text] if message.get("numerus") != "yes" else \
                [form.text for form in translation.iter("numerusform")]
            if translation.get("type") == "unfinished" or not all(forms):
                missing += 1
                print(f"{name}: {context.findtext('name')}: no translation of "
                      f"\"{message.findtext('source')}\"")
    # Every catalogue's language is offered in the window's menu and on the page's selector.
    code = name[len("tavufe_"):-len(".ts")]
    for lists, entry in (("src/app/language.h", '{"%s", "'), ("web/translate.js", '["%s", "')):
        if entry % code not in open(lists, encoding="utf-8").read():
            missing += 1
            print(f"{name}: {lists} does not list the language {code}")
if missing:
    sys.exit(f"translations: {missing} texts or languages missing; see TRANSLATING.md")
print(f"Translations: every text of the window and the page in {len(sys.argv) - 1} catalogues")
PY
fi
