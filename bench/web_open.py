"""The page's open of a superfile in headless Chromium.

web_open.py PAGE FILE [ROUNDS]
    Opens FILE in one page ROUNDS times and, in the same page and run, reads the same File the
    browser handed the page as the page reads it (in pieces, into memory made ready before),
    in alternated order: the floor no open can beat. Prints the page's size, both medians and
    the module's memory after the opens.

web_open.py --first FILE ROUNDS PAGE...
    The first open of FILE in a freshly started page, a second after it is ready, for each PAGE
    in turn, the order rotated each round; prints each page's median time to start and to open.
"""

import statistics
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests/web"))
from browser import Page  # noqa: E402

# Keeps the File the browser hands the page: a listener on the window in the capture phase
# runs before the page's own, which lets the input go.
KEEP_PICKED = """
window.benchPicked = null;
window.addEventListener("change", (e) => { window.benchPicked = e.target.files[0]; },
                        { capture: true });
"""

# The browser's own read of the kept File, timed as the page's open is.
READ_FLOOR = """
const done = arguments[arguments.length - 1];
(async () => {
  const file = window.benchPicked;
  if (!window.benchRoom || window.benchRoom.length !== file.size) {
    window.benchRoom = new Uint8Array(file.size).fill(1);
  }
  const start = performance.now();
  const reader = file.stream().getReader();
  let got = 0;
  for (;;) {
    const { done, value } = await reader.read();
    if (done) break;
    window.benchRoom.set(value, got);
    got += value.length;
  }
  if (got !== file.size) throw new Error("short read");
  done(performance.now() - start);
})();
"""


def timed_open(page, file_path):
    page.driver.execute_script("performance.clearMeasures()")
    status = page.open(file_path)
    if status != "Checksums OK":
        raise SystemExit(f"the open ended with: {status}")
    return page.driver.execute_script("return performance.getEntriesByName('open')[0].duration")


def listed(times):
    return ", ".join(f"{t:.1f}" for t in times)


def against_floor(page_path, file_path, rounds):
    page = Page(page_path, tempfile.mkdtemp())
    opens, floors = [], []
    try:
        page.driver.execute_script(KEEP_PICKED)
        for k in range(rounds):
            # The read needs the File, which only a pick hands over: round 0 opens first.
            if k % 2 == 0:
                opens.append(timed_open(page, file_path))
                floors.append(page.driver.execute_async_script(READ_FLOOR))
            else:
                floors.append(page.driver.execute_async_script(READ_FLOOR))
                opens.append(timed_open(page, file_path))
        memory = page.driver.execute_script("return Module.HEAPU8.length")
    finally:
        page.close()
    print(f"page {page_path.stat().st_size} bytes")
    print(f"open {statistics.median(opens):.1f} ms (median of {rounds}: {listed(opens)})")
    print(f"read {statistics.median(floors):.1f} ms (median of {rounds}: {listed(floors)})")
    print(f"module memory {memory / 2**20:.1f} MiB")


def first_opens(file_path, rounds, pages):
    starts = {p: [] for p in pages}
    opens = {p: [] for p in pages}
    for k in range(rounds):
        for p in pages[k % len(pages):] + pages[:k % len(pages)]:
            page = Page(p, tempfile.mkdtemp())
            try:
                starts[p].append(page.driver.execute_script(
                    "return performance.getEntriesByName('ready')[0].startTime"))
                # No one picks a file sooner; what the page started in the background has had
                # as long to finish.
                time.sleep(1)
                opens[p].append(timed_open(page, file_path))
            finally:
                page.close()
    for p in pages:
        print(f"{p.name}: start {statistics.median(starts[p]):.1f} ms, first open "
              f"{statistics.median(opens[p]):.1f} ms (medians of {rounds}; opens "
              f"{listed(opens[p])})")


if __name__ == "__main__":
    if sys.argv[1] == "--first":
        first_opens(Path(sys.argv[2]), int(sys.argv[3]), [Path(p) for p in sys.argv[4:]])
    else:
        against_floor(Path(sys.argv[1]), Path(sys.argv[2]),
                      int(sys.argv[3]) if len(sys.argv) > 3 else 5)
