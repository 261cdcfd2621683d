#!/usr/bin/env python3
"""The page's texts, written as the qsTr calls lupdate reads, so that the catalogues hold them
in the context "page": those of its HTML that its script translates, and the script's own
qsTr calls (lupdate's own reader stops at the script's async functions).

In the HTML, an element marked data-tr has its text translated; one marked data-tr-label, its
aria-label. A text is taken as the script takes it: trimmed, each run of white space one space.
In the scripts, a call is qsTr("text") or, for a text with a count, qsTr("text", "", count),
with the text one double-quoted literal.

Usage: page_texts.py PAGE.html SCRIPT.js... > texts.js
"""

import json
import re
import sys
from html.parser import HTMLParser


def normal(text):
    return " ".join(text.split())


class TextsToTranslate(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.texts = []
        self.open = []  # per open element: its collected text, or None when not marked

    def handle_starttag(self, tag, attrs):
        attributes = dict(attrs)
        if "data-tr-label" in attributes:
            self.texts.append(normal(attributes.get("aria-label") or ""))
        self.open.append([] if "data-tr" in attributes else None)

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)
        self.open.pop()

    def handle_endtag(self, tag):
        if self.open:
            collected = self.open.pop()
            if collected is not None:
                self.texts.append(normal("".join(collected)))

    def handle_data(self, data):
        for collected in self.open:
            if collected is not None:
                collected.append(data)


SCRIPT_CALL = re.compile(r'\bqsTr\(\s*("(?:[^"\\\n]|\\.)*")\s*(,\s*""\s*,)?')


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__.strip().splitlines()[-1])
    parser = TextsToTranslate()
    with open(sys.argv[1], encoding="utf-8") as page:
        parser.feed(page.read())
    for text in parser.texts:
        if not text:
            sys.exit("page_texts.py: an element marked for translation has no text")
        print(f"qsTr({json.dumps(text, ensure_ascii=False)});")
    for path in sys.argv[2:]:
        with open(path, encoding="utf-8") as script:
            for literal, counted in SCRIPT_CALL.findall(script.read()):
                text = json.dumps(json.loads(literal), ensure_ascii=False)
                print(f'qsTr({text}, "", n);' if counted else f"qsTr({text});")


if __name__ == "__main__":
    main()
