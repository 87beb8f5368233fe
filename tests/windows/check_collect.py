"""Runs the package's collect.cmd under Wine, from a fresh install of the
build, and checks what it leaves: the three reports, as the programs print
them, and the facts file, all four named for the computer, the Windows
version, the architecture and the build.

usage: check_collect.py BUILD_DIR BUILD_TAG VERSION EXPECTED_DIR -- WINE_RUN"""
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import Checker, split_command  # noqa: E402


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


(build, tag, version, expected_dir), wine_run = split_command(sys.argv[1:])
checker = Checker("collect.cmd")
with tempfile.TemporaryDirectory() as work:
    package, out = os.path.join(work, "package"), os.path.join(work, "out")
    subprocess.run(["cmake", "--install", build, "--prefix", package], check=True,
                   stdout=subprocess.DEVNULL)
    done = subprocess.run(wine_run + ["cmd", "/c", windows_path(os.path.join(package, "collect.cmd")),
                                      windows_path(out)],
                          stdin=subprocess.DEVNULL, capture_output=True, check=False)
    checker.check(done.returncode == 0, f"exit status {done.returncode}, stderr {done.stderr[:300]!r}")
    names = sorted(os.listdir(out)) if os.path.isdir(out) else []
    pattern = re.compile(r"(.+)_([0-9.]+)_(AMD64|x86|ARM64)_" + re.escape(tag) +
                         r"_(about|varnek1|varnek2|varnek2w)\.txt$")
    matches = [pattern.match(name) for name in names]
    checker.check(len(names) == 4 and all(matches), f"files {names}")
    if len(names) == 4 and all(matches):
        computer, windows, architecture = matches[0].group(1, 2, 3)
        checker.check(all(m.group(1, 2, 3) == (computer, windows, architecture) for m in matches),
                      f"files named for different machines: {names}")
        for match in matches:
            with open(os.path.join(out, match.group(0)), "rb") as f:
                content = f.read()
            what = match.group(4)
            if what == "about":
                lines = content.decode("latin-1").split("\r\n")
                for line in (f"computer: {computer}", f"windows version: {windows}",
                             f"architecture: {architecture}", f"probes: varnek {version}, {tag}",
                             "exit status: varnek1 0, varnek2 0, varnek2w 0"):
                    checker.check(line in lines, f"the facts file lacks {line!r}: {content!r}")
            else:
                with open(os.path.join(expected_dir, f"{what}-wine.txt"), "rb") as f:
                    checker.same(content, f.read(), f"{match.group(0)}")
checker.finish()
