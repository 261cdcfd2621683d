"""The browser page against the command-line tool: both run the same core, so an open shows
what `tavufe info` and `tavufe folders` print and a save downloads what `tavufe save` writes.

Usage: page_test.py PAGE BUILD  (BUILD holds src/cli/tavufe and tools/tavufe-sample)
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

from browser import Page
from selenium.webdriver.common.keys import Keys

PAGE = BUILD = None
EPOCH = "1767225600"  # 2026-01-01 00:00:00 UTC


def tool(*args, env=None, cwd=None):
    return subprocess.run([str(BUILD / "src/cli/tavufe"), *args], check=False, capture_output=True,
                          text=True, env=env, cwd=cwd)


def cli_rows(output):
    """`tavufe folders` or the grid under `tavufe info`: the rows under the titles."""
    return [line.split("\t") for line in output.splitlines()[1:]]


class PageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = Path(tempfile.mkdtemp(prefix="page-test-"))
        (cls.dir / "downloads").mkdir()
        sample = str(BUILD / "tools/tavufe-sample")
        for name, extra in (("small.shx", []), ("small.sbf", []), ("full.shx", ["--full"]),
                            ("noflex.shx", ["--no-flex"])):
            subprocess.run([sample, "--format", name[-3:], "--output", str(cls.dir / name), *extra],
                           check=True, capture_output=True)
        # One data byte changed by hand, its line's sum made to match: the file reads, but its
        # code group's checksum no longer holds.
        data = bytearray((cls.dir / "small.shx").read_bytes())
        at = data.index(b"\nS3", len(data) // 2) + 1
        end = data.index(b"\n", at)
        record = bytearray(bytes.fromhex(data[at + 2:end].strip().decode()))
        record[6] ^= 0x5A
        record[-1] = 0xFF - (sum(record[:-1]) & 0xFF)
        data[at + 2:at + 2 + 2 * len(record)] = record.hex().upper().encode()
        (cls.dir / "damaged.shx").write_bytes(bytes(data))
        (cls.dir / "notes.txt").write_bytes(b"not a superfile\n")
        # Files that do not open, each with the place its cause names (lines count from the end
        # of the 8172-byte header block).
        shx, sbf = (cls.dir / "small.shx").read_bytes(), (cls.dir / "small.sbf").read_bytes()
        at = shx.index(b"\nS3", len(shx) // 2) + 1
        line = str(shx[8172:at].count(b"\n") + 1)
        digit = shx[at + 12:at + 13]
        cls.failing = (
            ("sum.shx", shx[:at + 12] + (b"B" if digit == b"A" else b"A") + shx[at + 13:],
             re.escape("sum.shx:" + line + ": line checksum: expected ") + "[0-9A-F]{2}, found "),
            ("digit.shx", shx[:at + 12] + b"G" + shx[at + 13:],
             re.escape("digit.shx:" + line + ": not a hex digit: ")),
            ("cut.shx", shx[:len(shx) // 2], r"cut\.shx:\d+: "),
            ("cut.sbf", sbf[:len(sbf) // 2], r"cut\.sbf:[0-9A-F]{8}: "),
            ("short.sbf", sbf[:1000], r"short\.sbf:00000000: file shorter than its header block: "))
        for name, data, _ in cls.failing:
            (cls.dir / name).write_bytes(data)
        cls.page = Page(PAGE, cls.dir / "downloads", "?date=" + EPOCH)

    @classmethod
    def tearDownClass(cls):
        cls.page.close()
        shutil.rmtree(cls.dir)

    def test_an_open_shows_what_tavufe_prints(self):
        for name in ("small.shx", "small.sbf", "full.shx"):
            with self.subTest(name):
                path = self.dir / name
                self.assertEqual(self.page.open(path), "Checksums OK")
                info = tool("info", str(path)).stdout
                report, grid = info.split("\n\n", 1)
                self.assertEqual(self.page.text("report"), report)
                self.assertEqual(self.page.table("code-groups"), cli_rows(grid))
                self.assertEqual(self.page.table("folders"),
                                 cli_rows(tool("folders", str(path)).stdout))
                self.assertEqual(self.page.text("findings"), "OK")

    def test_a_delete_saves_what_tavufe_saves_and_undo_restores(self):
        path = self.dir / "small.shx"
        self.page.open(path)
        before = self.page.table("folders")
        self.assertGreaterEqual(len(before), 3)
        placeholder = self.page.text("preview")
        self.page.select_row(2)
        self.assertNotEqual(self.page.text("preview"), placeholder)
        self.page.el("folders").send_keys(Keys.DELETE)
        self.assertEqual(self.page.text("preview"), placeholder)
        after = self.page.table("folders")
        self.assertEqual(len(after), len(before) - 1)
        env = dict(os.environ, SOURCE_DATE_EPOCH=EPOCH)
        for kind in ("smg", "shx", "sbf"):
            with self.subTest(kind):
                self.page.driver.execute_script(
                    "document.getElementById('save-type').value = arguments[0]", kind)
                self.page.el("save").click()
                downloaded = self.page.take_download("small-edited." + kind)
                expected = self.dir / ("expected." + kind)
                result = tool("save", str(path), "-o", str(expected), "--delete-row", "3", env=env)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(downloaded, expected.read_bytes())
                self.assertEqual(self.page.text("status"), "Saved small-edited." + kind)
        # Review Changes shows what `tavufe diff` prints for the file and the same save.
        self.page.keys(Keys.CONTROL, "d")
        self.assertTrue(self.page.dialog_open("message"))
        self.assertEqual(self.page.text("message-title"), "Review Changes \u2014 small.shx")
        diff = tool("diff", str(path), str(self.dir / "expected.shx"))
        self.assertEqual(diff.returncode, 1, diff.stderr)
        self.assertEqual(self.page.text("message-text"), diff.stdout.rstrip("\n"))
        self.assertIn(" erased (173 bytes)", diff.stdout)
        self.page.el("message-ok").click()
        self.page.keys(Keys.CONTROL, "z")
        self.assertEqual(self.page.table("folders"), before)
        self.page.keys(Keys.CONTROL, Keys.SHIFT, "z")
        self.assertEqual(self.page.table("folders"), after)
        # The SBF saved that state; a step away from it is unsaved again, and the question the
        # window asks comes first, again after a review.
        self.page.el("undo").click()
        self.page.open(path, "The changes to small.shx have not been saved.\nDo you want to save them?",
                       ("review", "discard"))
        self.assertRegex(self.page.reviewed, r"\n\d+ differences$")
        self.assertEqual(self.page.table("folders"), before)

    def test_a_damaged_file_shows_its_finding_and_the_save_asks(self):
        path = self.dir / "damaged.shx"
        verify = tool("verify", "damaged.shx", cwd=self.dir).stdout.rstrip("\n")
        problems = verify.splitlines()[:-1]
        self.assertEqual(verify.splitlines()[-1], f"{len(problems)} problems")
        self.assertEqual(self.page.open(path), f"{len(problems)} checksum problems \u2014 see Findings")
        self.assertEqual(self.page.text("findings"), verify)
        for answer, downloads in (("question-cancel", 0), ("question-save", 1)):
            with self.subTest(answer):
                self.page.el("save").click()
                self.assertTrue(self.page.dialog_open("question"))
                self.assertEqual(
                    self.page.text("question-text"),
                    f"damaged.shx has {len(problems)} checksum problems:\n\n" +
                    "\n".join(problems[:3]) + ("\n\u2026" if len(problems) > 3 else "") +
                    "\n\nA save writes fresh checksums over these bytes, and the handset would "
                    "then take them as sound.")
                self.page.el(answer).click()
                self.assertFalse(self.page.dialog_open("question"))
                if downloads:
                    self.assertTrue(self.page.take_download("damaged-edited.shx"))
                else:
                    self.assertFalse((self.dir / "downloads/damaged-edited.shx").exists())

    def assert_nothing_open(self, findings):
        self.assertEqual(self.page.text("report"), "")
        self.assertEqual(self.page.table("folders"), [])
        self.assertEqual(self.page.table("code-groups"), [])
        self.assertTrue(self.page.text("preview").startswith("Select a folder"))
        self.assertEqual(self.page.text("findings"), findings)
        self.assertEqual(self.page.driver.title, "Tavu Flex Editor")
        self.assertEqual(self.page.text("file-name"), "or drop a superfile (.shx or .sbf) here")
        for button in ("delete-folder", "undo", "save", "review"):
            self.assertFalse(self.page.el(button).is_enabled(), button)

    def test_a_failed_open_leaves_the_page_empty_and_says_where_and_why(self):
        (self.dir / "empty.shx").write_bytes(b"")
        for name, _, cause in self.failing + (("empty.shx", b"", None),):
            with self.subTest(name):
                self.page.open(self.dir / "small.shx")
                self.page.select_row(1)
                self.page.el("folders").send_keys(Keys.DELETE)
                self.assertEqual(self.page.driver.title, "* small.shx - Tavu Flex Editor")
                self.page.open(self.dir / name, "The changes to small.shx have not been saved.\n"
                               "Do you want to save them?")
                said = tool("info", name, cwd=self.dir).stderr.splitlines()[0]
                self.assertTrue(self.page.dialog_open("message"))
                self.assertEqual(self.page.text("message-title"), said.split(": ", 1)[1])
                self.assertEqual(self.page.text("status"), said.split(": ", 1)[1])
                details = self.page.text("message-text").split("\n")
                if cause is None:
                    self.assertEqual(details, [name, "File is empty"])
                    self.assert_nothing_open("")
                else:
                    # The cause is one of the lines `tavufe verify` lists, and they are what
                    # Findings shows.
                    verify = tool("verify", name, cwd=self.dir).stdout.rstrip("\n")
                    problems = int(verify.splitlines()[-1].split()[0])
                    self.assertEqual(details[0], name)
                    self.assertRegex(details[1], "^" + cause)
                    self.assertIn(details[1], verify.splitlines())
                    more = f"Findings lists every problem ({problems} in all)."
                    self.assertEqual(details[2:], [more] if problems > 1 else [])
                    self.assert_nothing_open(verify)
                self.page.el("message-ok").click()

    def test_at_400_px_every_folder_column_stays_in_view(self):
        driver = self.page.driver
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 400, "height": 900, "deviceScaleFactor": 1, "mobile": False})
        try:
            # The full-size sample has the longest folder names.
            self.assertEqual(self.page.open(self.dir / "full.shx"), "Checksums OK")
            box, cells = driver.execute_script(
                "const t = document.getElementById('folders');"
                "const r = (e) => {"
                "  const b = e.getBoundingClientRect(); return [b.left, b.right]; };"
                "return [[...r(t.parentElement), t.parentElement.scrollWidth,"
                "         t.parentElement.clientWidth, document.documentElement.scrollWidth],"
                "        [...t.rows].flatMap((row) => [...row.cells]).map(r)]")
            left, right, scroll_width, client_width, page_width = box
            self.assertLessEqual(right, 400)
            self.assertLessEqual(page_width, 400)
            self.assertLessEqual(scroll_width, client_width)
            for cell_left, cell_right in cells:
                self.assertGreaterEqual(cell_left, left)
                self.assertLessEqual(cell_right, right)
        finally:
            driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

    def test_refusals_say_what_tavufe_says(self):
        (self.dir / "empty.sbf").write_bytes(b"")
        # Larger than any superfile can be; sparse, so it costs no disk.
        with open(self.dir / "huge.shx", "wb") as f:
            f.truncate(5 << 30)
        # The file; the tavufe command whose refusal the page's must match, the open's or the
        # save's; the details under the box's title.
        for name, command, details in (
                ("notes.txt", ["info"], "notes.txt\nSuperfiles end in .shx or .sbf."),
                ("empty.sbf", ["info"], "empty.sbf\nFile is empty"),
                ("huge.shx", ["info"], "huge.shx\nFile is larger than any superfile can be"),
                ("noflex.shx", ["save", "-o", "saved.shx"], "")):
            with self.subTest(name):
                said = tool(command[0], name, *command[1:], cwd=self.dir).stderr.splitlines()[0]
                status = self.page.open(self.dir / name)
                if command[0] == "save":
                    # The file opens; only the save is refused, and nothing is downloaded.
                    self.assertEqual(status, "Checksums OK")
                    self.assertFalse(self.page.dialog_open("message"))
                    self.page.el("save").click()
                self.assertTrue(self.page.dialog_open("message"))
                self.assertEqual(said.split(": ", 1)[1], self.page.text("message-title"))
                self.assertEqual(self.page.text("message-text"), details)
                self.page.el("message-ok").click()
        self.assertFalse(list((self.dir / "downloads").glob("noflex*")))
        self.assertFalse((self.dir / "saved.shx").exists())
        (self.dir / "huge.shx").unlink()
        # A refused file leaves the page working.
        self.assertEqual(self.page.open(self.dir / "small.shx"), "Checksums OK")

    def test_zz_nothing_is_fetched_after_the_page_loaded(self):
        # Runs last, after every open and save: only the page itself and its downloads' blobs.
        urls = self.page.requests()
        self.assertIn(PAGE.as_uri() + "?date=" + EPOCH, urls)
        self.assertEqual([u for u in urls if not u.startswith(("file:", "data:", "blob:"))], [])


if __name__ == "__main__":
    PAGE, BUILD = Path(sys.argv[1]).resolve(), Path(sys.argv[2]).resolve()
    unittest.main(argv=sys.argv[:1], verbosity=2)
