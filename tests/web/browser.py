"""Headless Chromium on the page, opened from disk: what the tests and the measurement share."""

import json
import os
import time
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait


class Page:
    def __init__(self, page_path, downloads, query="", language="en-US"):
        """`language` is the browser's preferred language, whatever the machine's settings."""
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage",
                     "--disable-gpu", "--window-size=1200,900", "--lang=" + language):
            options.add_argument(flag)
        options.add_experimental_option("prefs", {"intl.accept_languages": language})
        options.set_capability("goog:loggingPrefs", {"performance": "ALL"})
        service = Service(executable_path="/usr/bin/chromedriver")
        self.driver = webdriver.Chrome(options=options, service=service)
        self.downloads = Path(downloads)
        self.driver.execute_cdp_cmd("Browser.setDownloadBehavior",
                                    {"behavior": "allow", "downloadPath": str(self.downloads)})
        self.driver.get(Path(page_path).resolve().as_uri() + query)
        self.wait(lambda d: d.execute_script("return document.body.dataset.ready === 'true'"))

    def close(self):
        self.driver.quit()

    def wait(self, condition, timeout=60):
        return WebDriverWait(self.driver, timeout, poll_frequency=0.02).until(condition)

    def el(self, element_id):
        return self.driver.find_element(By.ID, element_id)

    def text(self, element_id):
        return self.driver.execute_script(
            "return document.getElementById(arguments[0]).textContent", element_id)

    def open(self, path, question=None, answers=("discard",), opening="Opening"):
        """Picks the file and waits until the page has shown the open's outcome; `question`
        (the text of the one asked when there are unsaved deletes) is answered with `answers`
        in turn, a review's box being closed after "review"; the review's text is kept.
        `opening` begins the status while the file is read, in the page's language."""
        self.driver.execute_script("document.getElementById('status').textContent = ''")
        self.el("file-input").send_keys(str(Path(path).resolve()))
        self.reviewed = None
        for answer in answers if question is not None else ():
            self.wait(lambda d: self.dialog_open("unsaved"))
            if self.text("unsaved-text") != question:
                raise AssertionError(f"asked {self.text('unsaved-text')!r}")
            self.el("unsaved-" + answer).click()
            if answer == "review":
                self.wait(lambda d: self.dialog_open("message"))
                self.reviewed = self.text("message-text")
                self.el("message-ok").click()
        self.wait(lambda d: self.text("status") and not self.text("status").startswith(opening))
        return self.text("status")

    def table(self, element_id):
        return self.driver.execute_script(
            "return [...document.getElementById(arguments[0]).tBodies[0].rows]"
            ".map(r => [...r.cells].map(c => c.textContent))", element_id)

    def select_row(self, index):
        self.driver.execute_script(
            "document.getElementById('folders').tBodies[0].rows[arguments[0]].click()", index)

    def keys(self, *keys):
        """A chord pressed on the focused element, modifiers first."""
        chord = ActionChains(self.driver)
        for key in keys[:-1]:
            chord.key_down(key)
        chord.send_keys(keys[-1])
        for key in reversed(keys[:-1]):
            chord.key_up(key)
        chord.perform()

    def dialog_open(self, element_id):
        return self.driver.execute_script(
            "return document.getElementById(arguments[0]).open", element_id)

    def take_download(self, name, timeout=30):
        """The downloaded file's bytes, once complete; the file is removed."""
        target = self.downloads / name
        deadline = time.time() + timeout
        while time.time() < deadline:
            partial = list(self.downloads.glob("*.crdownload"))
            if target.exists() and not partial:
                data = target.read_bytes()
                target.unlink()
                return data
            time.sleep(0.05)
        raise AssertionError(f"no download named {name}: {os.listdir(self.downloads)}")

    def requests(self):
        """Every URL the page asked the network layer for since the last call."""
        urls = []
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                urls.append(message["params"]["request"]["url"])
        return urls
