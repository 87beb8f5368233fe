"""Makes the build's package with cpack, into a scratch directory, and checks
the ZIP: its name; one folder named like it holding exactly the three
programs, README.txt, collect.cmd, LICENSE.txt and THIRD-PARTY-NOTICES.txt;
the texts with Windows line ends, the licence the project's; and each program
as check_exe.py checks the built ones (the packaged ones are stripped).

usage: check_package.py BUILD_DIR PACKAGE_NAME LICENSE_FILE NOTICE_TEXT
                        --dump TOOL --dlls ... --subsystem ... --version ..."""
import argparse
import os
import subprocess
import sys
import tempfile
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import Checker  # noqa: E402
from check_exe import add_program_options, check_program  # noqa: E402

PROGRAMS = ["varnek1.exe", "varnek2.exe", "varnek2w.exe"]
TEXTS = ["README.txt", "collect.cmd", "LICENSE.txt", "THIRD-PARTY-NOTICES.txt"]

arguments = argparse.ArgumentParser()
arguments.add_argument("build")
arguments.add_argument("name")
arguments.add_argument("licence")
arguments.add_argument("notice_text", help="a text the notices must hold")
add_program_options(arguments)
options = arguments.parse_args()

checker = Checker(options.name)
with tempfile.TemporaryDirectory() as work:
    subprocess.run(["cpack", "--config", os.path.join(options.build, "CPackConfig.cmake"), "-B", work],
                   check=True, stdout=subprocess.DEVNULL)
    zips = [name for name in os.listdir(work) if name.endswith(".zip")]
    checker.check(zips == [options.name + ".zip"], f"cpack made {zips}, expected {options.name}.zip")
    if zips == [options.name + ".zip"]:
        with zipfile.ZipFile(os.path.join(work, zips[0])) as archive:
            names = sorted(archive.namelist())
            expected = sorted(f"{options.name}/{name}" for name in PROGRAMS + TEXTS)
            checker.check(names == expected, f"the ZIP holds {names}, expected {expected}")
            archive.extractall(work)
        folder = os.path.join(work, options.name)
        for text in TEXTS:
            path = os.path.join(folder, text)
            if os.path.exists(path):
                with open(path, "rb") as f:
                    content = f.read()
                checker.check(content.count(b"\n") == content.count(b"\r\n") > 0,
                              f"{text} does not have Windows line ends throughout")
        with open(options.licence, "rb") as f:
            licence = f.read().replace(b"\n", b"\r\n")
        with open(os.path.join(folder, "LICENSE.txt"), "rb") as f:
            checker.same(f.read(), licence, "LICENSE.txt")
        with open(os.path.join(folder, "THIRD-PARTY-NOTICES.txt"), "rb") as f:
            checker.check(options.notice_text.encode() in f.read(),
                          f"THIRD-PARTY-NOTICES.txt lacks {options.notice_text!r}")
        for program in PROGRAMS:
            path = os.path.join(folder, program)
            if os.path.exists(path):
                check_program(checker, path, options.dump, options.dlls, options.subsystem,
                              options.version)
checker.finish()
