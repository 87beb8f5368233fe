"""Runs the same programs of two Windows builds (x86-64 GCC and clang, say)
on the same answers and checks that their reports are byte for byte the same.
Skipped (status 77) when the other build has not been built.

usage: check_same_reports.py THIS_BUILD_DIR OTHER_BUILD_DIR PROGRAM... -- WINE_RUN
Each PROGRAM is a path relative to both build directories (bin/varnek1.exe);
WINE_RUN runs this build's programs, OTHER_BUILD_DIR/wine/run the other's."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import Checker, first_difference, run_to_file, split_command  # noqa: E402

(this, other, *programs), wine_run = split_command(sys.argv[1:])
other_run = os.path.join(other, "wine", "run")
missing = [p for p in programs if not os.path.exists(os.path.join(other, p))]
if not os.path.exists(other_run) or missing:
    print(f"skipped: the build in {other} is not there to compare with (build its preset first)")
    sys.exit(77)

checker = Checker("same reports")
for program in programs:
    ours = run_to_file(wine_run + [os.path.join(this, program)])
    theirs = run_to_file([other_run, os.path.join(other, program)])
    checker.check(ours[0] == theirs[0], f"{program}: exit status {ours[0]} here, {theirs[0]} there")
    difference = first_difference(ours[1], theirs[1])
    checker.check(difference is None, f"{program}: the reports differ: {difference}")
checker.finish()
