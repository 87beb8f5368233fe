"""Holds the access-violation guard against what __except with a filter on
0xC0000005 does, by the lines guard-test prints in each mode and the status
it ends with: 0, or the code of the exception that ended the process (Wine
passes only its low byte on to the Linux exit status).

usage: check_guard.py -- command (of guard-test)"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import Checker, run_to_pipe, split_command  # noqa: E402

CASES = [
    # mode, the lines it prints, the exception code that ends it (None: exit status 0)
    ("caught", ["fault: caught",
                "self-handled: completed, IsBadWritePtr TRUE",
                "fault: caught",
                "fault: caught",
                "self-handled: completed, IsBadWritePtr TRUE",
                "fault: caught",
                "end"], None),
    ("other", ["raising 0xE0000042 inside the guard"], 0xE0000042),
    ("unguarded", ["fault: caught", "faulting outside the guard"], 0xC0000005),
]

_, command = split_command(sys.argv[1:])
checker = Checker("guard")
for mode, lines, code in CASES:
    status, out, _ = run_to_pipe(command + [mode])
    checker.check(out.decode("latin-1").splitlines() == lines,
                  f"{mode}: printed {out!r}, expected {lines}")
    if code is None:
        checker.check(status == 0, f"{mode}: exit status {status}, expected 0")
    else:
        checker.check(status in (code, code & 0xFF),
                      f"{mode}: exit status {status}, expected the code {code:#x} (or its low byte)")
checker.finish()
