"""Opens a superfile in the page in headless Chromium several times and prints the page's
size, the open's median time (reading the picked file, the open in WebAssembly and showing
the result) and the module's memory after the opens.

Usage: web_open.py PAGE FILE [ROUNDS]
"""

import statistics
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests/web"))
from browser import Page  # noqa: E402

page_path, file_path = Path(sys.argv[1]), Path(sys.argv[2])
rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 5
page = Page(page_path, tempfile.mkdtemp())
try:
    times = []
    for _ in range(rounds):
        page.driver.execute_script("performance.clearMeasures()")
        status = page.open(file_path)
        if status != "Checksums OK":
            raise SystemExit(f"the open ended with: {status}")
        times.append(page.driver.execute_script(
            "return performance.getEntriesByName('open')[0].duration"))
    memory = page.driver.execute_script("return Module.HEAPU8.length")
finally:
    page.close()
print(f"page {page_path.stat().st_size} bytes")
print(f"open {statistics.median(times):.1f} ms (median of {rounds}: "
      + ", ".join(f"{t:.1f}" for t in times) + ")")
print(f"module memory {memory / 2**20:.1f} MiB")
