#!/usr/bin/env python3
"""The page's catalogue, made from the window's .ts files so that both speak from one source:
a script that sets `tavufeCatalogue` to {language: {context + "\\u0004" + source: text}}, a
plural's text being the list of its forms in the order the .ts gives them. Only the page's own
context and the core's texts go in, and no unfinished entry (the page shows English there).

Usage: page_catalogue.py OUT.js TS...
"""

import json
import re
import sys
import xml.etree.ElementTree as ET

CONTEXTS = ("page", "tavufe::SystemTexts")


def language_of(path):
    return re.search(r"_([a-z]{2}(?:_[A-Z]{2})?)\.ts$", path).group(1)


def entries(path):
    found = {}
    for context in ET.parse(path).getroot().iter("context"):
        name = context.findtext("name")
        if name not in CONTEXTS:
            continue
        for message in context.iter("message"):
            translation = message.find("translation")
            if translation is None or translation.get("type") in ("unfinished", "obsolete",
                                                                  "vanished"):
                continue
            key = name + "\u0004" + (message.findtext("source") or "")
            if message.get("numerus") == "yes":
                found[key] = [form.text or "" for form in translation.iter("numerusform")]
            else:
                found[key] = translation.text or ""
    return found


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__.strip().splitlines()[-1])
    catalogue = {language_of(path): entries(path) for path in sorted(sys.argv[2:])}
    with open(sys.argv[1], "w", encoding="utf-8") as out:
        out.write("var tavufeCatalogue = ")
        json.dump(catalogue, out, ensure_ascii=False, sort_keys=True, separators=(",", ":"))
        out.write(";\n")


if __name__ == "__main__":
    main()
