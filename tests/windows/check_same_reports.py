"""Runs the same programs of two Windows builds (x86-64 GCC and clang, say)
on the same answers, and checks that their reports are byte for byte the same:
the probes on Wine's GDI, and the probes built against the double on scripts
that take them down every path (faults caught, handled below, names,
comparisons). Skipped (status 77) when the other build is not there.

usage: check_same_reports.py THIS_BUILD_DIR OTHER_BUILD_DIR -- WINE_RUN
WINE_RUN runs this build's programs, OTHER_BUILD_DIR/wine/run the other's."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import Checker, first_difference, run_double, split_command  # noqa: E402

RUNS = [
    # program          the double's script ("" for the probes on Wine's GDI)
    ("varnek1.exe",    ""),
    ("varnek2.exe",    ""),
    ("varnek2w.exe",   ""),
    ("double-varnek1.exe", "0-9: ret=1 err=0xFFFFFFFF lcsSize=328; 10-19: fault; "
                           "20-29: handled-fault ret=-1 err=87; 30-44: spill=11 ret=2147483647"),
    ("double-varnek2.exe", "0: ret=1 bytes=0:434F5350 lcsSize=328 name=63,3A,5C,E9,0; "
                           "1: ret=328 err=0 bytes=0:434F5350 lcsSize=328 name=63,3A,5C,E9,0,41*3"),
    ("double-varnek2w.exe", "0: ret=1 lcsSize=588 name=63,3A,5C,20AC,E9,0; "
                            "1: ret=588 lcsSize=588 name=63,3A,5C,20AC,E9"),
]

(this, other), wine_run = split_command(sys.argv[1:])
other_run = os.path.join(other, "wine", "run")
missing = [program for program, _ in RUNS if not os.path.exists(os.path.join(other, "bin", program))]
if not os.path.exists(other_run) or missing:
    print(f"skipped: the build in {other} is not there to compare with (build its preset first)")
    sys.exit(77)

checker = Checker("same reports")
for program, script in RUNS:
    ours = run_double(wine_run + [os.path.join(this, "bin", program)], script)
    theirs = run_double([other_run, os.path.join(other, "bin", program)], script)
    checker.check(ours[0] == theirs[0] == 0, f"{program}: exit status {ours[0]} here, {theirs[0]} there")
    difference = first_difference(ours[1], theirs[1])
    checker.check(difference is None, f"{program} {script!r}: the reports differ: {difference}")
    checker.check(ours[3] == theirs[3], f"{program} {script!r}: the double's logs differ")
checker.finish()
