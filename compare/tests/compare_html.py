"""varnek-compare's HTML page as headless Chromium loads it: the DOM it dumps
has one row per case, one column per report, the differing rows (and only
those) highlighted, and each cell's whole report line in its title. Exits 77
(skipped) when Chromium is not installed.

usage: compare_html.py --expected DIR --fixtures DIR -- [emulator...] varnek-compare"""
import argparse
import html.parser
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

from compare_reports import GUARDED_ROWS, CASE_KEYS, keys, read
from harness import Checker, run_to_file, split_command

SKIPPED = 77

options, command = split_command(sys.argv[1:])
parser = argparse.ArgumentParser()
parser.add_argument("--expected", required=True)
parser.add_argument("--fixtures", required=True)
options = parser.parse_args(options)

chromium = shutil.which("chromium") or shutil.which("chromium-browser")
if chromium is None:
    print("skipped: chromium is not installed")
    sys.exit(SKIPPED)


class Page(html.parser.HTMLParser):
    """The parts of the dumped DOM the checks look at."""

    def __init__(self):
        super().__init__()
        self.heads = []        # column heads of the reports
        self.rows = []         # {"key", "differ", "cells": [(text, title, classes)]}
        self.styles = ""
        self.tags = set()
        self._in_body = False
        self._text = None      # collects the text of the element being read
        self._into = None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        classes = (attrs.get("class") or "").split()
        self.tags.add(tag)
        if tag == "tr" and self._in_body:
            self.rows.append({"key": None, "differ": "differ" in classes, "cells": []})
        elif tag == "th" and "report" in classes:
            self._start(lambda text: self.heads.append(text))
        elif tag == "th" and "key" in classes:
            self._start(lambda text: self.rows[-1].update(key=text))
        elif tag == "td" and "answer" in classes:
            title = attrs.get("title")
            self._start(lambda text: self.rows[-1]["cells"].append((text, title, classes)))
        elif tag == "style":
            self._start(lambda text: setattr(self, "styles", self.styles + text))
        elif tag == "tbody":
            self._in_body = True

    def _start(self, into):
        self._text, self._into = [], into

    def handle_data(self, data):
        if self._text is not None:
            self._text.append(data)

    def handle_endtag(self, tag):
        if self._text is not None and tag in ("th", "td", "style"):
            self._into("".join(self._text))
            self._text = None


checker = Checker("varnek-compare page in Chromium")
root = tempfile.mkdtemp(prefix="varnek-compare-html-")
try:
    standin = read(options.expected, "varnek1-standin.txt")
    reports = {"cut": standin[:4096],  # the run stopped inside the header of [2,1,0]
               "standin": standin,
               "guarded": read(options.fixtures, "varnek1-guarded.txt")}
    paths = []
    for name, content in reports.items():
        paths.append(os.path.join(root, name + ".txt"))
        with open(paths[-1], "wb") as f:
            f.write(content)
    page_path = os.path.join(root, "page.html")
    status, _, err = run_to_file(command + ["--html", page_path] + paths)
    checker.check(status == 1 and err == b"", f"varnek-compare: status {status}, stderr {err!r}")

    done = subprocess.run(
        [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
         "--no-first-run", "--disable-background-networking", "--disable-component-update",
         "--disable-sync", f"--user-data-dir={os.path.join(root, 'chromium')}", "--dump-dom",
         pathlib.Path(page_path).as_uri()],
        stdout=subprocess.PIPE, stderr=subprocess.PIPE, stdin=subprocess.DEVNULL,
        timeout=180, check=False)
    checker.check(done.returncode == 0, f"chromium: exit status {done.returncode}, "
                                        f"stderr {done.stderr[-500:]!r}")
    page = Page()
    page.feed(done.stdout.decode("utf-8"))

    checker.check(page.heads == list(reports), f"column heads {page.heads}")
    checker.check([row["key"] for row in page.rows] == CASE_KEYS,
                  f"rows {[row['key'] for row in page.rows]}")
    checker.check(all(len(row["cells"]) == len(reports) for row in page.rows),
                  f"cells per row {sorted({len(row['cells']) for row in page.rows})}")
    differing = {row["key"] for row in page.rows if row["differ"]}
    expected = GUARDED_ROWS | keys("[2,1,0]", "[2,2,4]")
    checker.check(differing == expected,
                  f"highlighted {sorted(differing)}, expected {sorted(expected)}")
    checker.check(re.search(r"tr\.differ\s*\{[^}]*background", page.styles),
                  "no background rule for tr.differ")
    checker.check(not page.tags & {"script", "link", "img", "iframe", "object"},
                  f"elements that load or run something: {page.tags}")

    cells = {row["key"]: row["cells"] for row in page.rows}
    for key, column, text, title in (
            ("[1,2,2]", 1, "SEH", "Got SEH"),
            ("[1,2,2]", 2, "0 998 -825307442", "ret:0, LastError:998, log.lcsSize:-825307442"),
            ("[1,1,2]", 0, "1 123456 328", "ret:1, LastError:123456, log.lcsSize:328"),
            ("[2,1,0]", 0, "missing",
             'missing: the report is cut off inside this case: '
             '"#[2,1,0]:GetLogColorSpace((HCOLORSPACE)1, &log, 0):"'),
            ("[2,2,4]", 0, "missing", "missing: the report ends before this case")):
        got = cells.get(key, [])[column:column + 1]
        checker.check(got and got[0][:2] == (text, title),
                      f"{key}, column {column}: {got}, expected text {text!r}, title {title!r}")
finally:
    shutil.rmtree(root)
checker.finish()
