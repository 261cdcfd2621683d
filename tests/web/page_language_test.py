"""The page under each browser language: its texts, the headings and the status texts come
from the catalogue in that language, what a file holds stays as it is, and the selector
switches the language at once and keeps the choice for the next visit.

Usage: page_language_test.py PAGE BUILD  (BUILD holds src/cli/tavufe and tools/tavufe-sample)
"""

import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

from browser import Page
from selenium.webdriver.support.ui import Select

PAGE = BUILD = None

# Per browser language: the selector's value, then texts of the page, the folder list's
# heading, the first report label, the status while a file is read and after a clean open.
LANGUAGES = (
    ("de-DE", "de", "Öffnen", "Skin-Ordner", "KOPFDATEN: ", "small.shx wird", "Prüfsummen OK",
     "Bereit"),
    ("es-ES", "es", "Abrir", "Carpeta de skin", "INFO DE CABECERA: ", "Abriendo",
     "Sumas de verificación correctas", "Listo"),
    ("pl", "pl", "Otwórz", "Folder skórki", "NAGŁÓWEK: ", "Otwieranie", "Sumy kontrolne poprawne",
     "Gotowe"),
    ("pt-BR", "pt_BR", "Abrir", "Pasta de skin", "INFO DO CABEÇALHO: ", "Abrindo",
     "Somas de verificação corretas", "Pronto"),
    ("ru-RU", "ru", "Открыть", "Папка скина", "ЗАГОЛОВОК: ", "Открывается",
     "Контрольные суммы в порядке", "Готово"),
    ("fr-FR", "en", "Open", "Skin Folder", "HEADER INFO: ", "Opening", "Checksums OK", "Ready"),
)


def tool(*args):
    return subprocess.run([str(BUILD / "src/cli/tavufe"), *args], check=True,
                          capture_output=True, text=True).stdout


class PageLanguageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = Path(tempfile.mkdtemp(prefix="page-language-test-"))
        (cls.dir / "downloads").mkdir()
        cls.sample = cls.dir / "small.shx"
        subprocess.run([str(BUILD / "tools/tavufe-sample"), "--format", "shx", "--output",
                        str(cls.sample)], check=True, capture_output=True)
        report, grid = tool("info", str(cls.sample)).split("\n\n", 1)
        cls.report = report.split("\n")
        cls.grid = grid

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir)

    def test_each_browser_language_shows_its_texts(self):
        for browser, code, open_title, heading, label, opening, clean, ready in LANGUAGES:
            with self.subTest(browser):
                page = Page(PAGE, self.dir / "downloads", language=browser)
                try:
                    self.assertEqual(page.text("status"), ready)
                    self.assertEqual(Select(page.el("language")).first_selected_option
                                     .get_attribute("value"), code)
                    self.assertEqual(page.text("open-title"), open_title)
                    self.assertEqual(page.driver.execute_script(
                        "return document.querySelector('#folders th:nth-child(2)').textContent"),
                        heading)
                    self.assertEqual(page.open(self.sample, opening=opening), clean)
                    report = page.text("report").split("\n")
                    self.assertEqual(report[0], label + self.report[0][len("HEADER INFO: "):])
                    # What the file holds is not translated: its generator line, its folders.
                    self.assertEqual(report[1], self.report[1])
                    self.assertEqual(page.table("folders"),
                                     [r.split("\t") for r in
                                      tool("folders", str(self.sample)).splitlines()[1:]])
                finally:
                    page.close()

    def test_the_selector_switches_at_once_and_is_remembered(self):
        page = Page(PAGE, self.dir / "downloads", language="ru-RU")
        try:
            page.open(self.sample, opening="Открывается")
            Select(page.el("language")).select_by_value("en")
            self.assertEqual(page.text("open-title"), "Open")
            self.assertEqual(page.text("report").split("\n"), self.report)
            self.assertEqual(page.driver.execute_script(
                "return [...document.querySelectorAll('#code-groups th')].map(t => t.textContent)"),
                self.grid.split("\n")[0].split("\t"))
            self.assertEqual(page.driver.execute_script("return document.documentElement.lang"),
                             "en")
            Select(page.el("language")).select_by_value("pl")
            self.assertEqual(page.text("delete-folder"), "Usuń folder skórki")
            page.driver.refresh()
            page.wait(lambda d: d.execute_script("return document.body.dataset.ready === 'true'"))
            self.assertEqual(page.text("status"), "Gotowe")
            self.assertEqual(page.driver.execute_script("return document.documentElement.lang"),
                             "pl")
        finally:
            page.close()


if __name__ == "__main__":
    PAGE, BUILD = Path(sys.argv[1]).resolve(), Path(sys.argv[2]).resolve()
    unittest.main(argv=sys.argv[:1], verbosity=2)
