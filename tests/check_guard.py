"""The access-violation guard on its own (runtime/guard-check-posix.cc): what it
catches, what it leaves to the default action, and the signal state it leaves.

usage: check_guard.py -- command"""
import signal
import sys

from harness import Checker, run_to_pipe, split_command, status_text

DEFAULTS = ("SEGV=default BUS=default INT=default TERM=default QUIT=default "
            "FPE=default ILL=default ABRT=default")

MODES = [
    # mode                 ends by (or exit 0)  prints
    ("repeat",             0,                   ["before: " + DEFAULTS,
                                                 # no handler but for the memory faults
                                                 "inside: SEGV=handler BUS=handler INT=default TERM=default "
                                                 "QUIT=default FPE=default ILL=default ABRT=default",
                                                 "a body without a fault: completed",
                                                 "100 faults: caught",
                                                 "after a catch: " + DEFAULTS,
                                                 "then a body without a fault: completed"]),
    ("read-only",          0,                   ["write to a read-only page: caught", "after: " + DEFAULTS]),
    ("past-file-end",      0,                   ["write past a mapped file's end: caught", "after: " + DEFAULTS]),
    # The memory-fault signals sent rather than reported by the kernel
    ("raise-SEGV",         signal.SIGSEGV,      ["entered"]),
    ("kill-segv",          signal.SIGSEGV,      ["entered"]),
    ("queue-segv",         signal.SIGSEGV,      ["entered"]),
    ("raise-BUS",          signal.SIGBUS,       ["entered"]),
    # every other signal
    ("raise-INT",          signal.SIGINT,       ["entered"]),
    ("raise-TERM",         signal.SIGTERM,      ["entered"]),
    ("raise-QUIT",         signal.SIGQUIT,      ["entered"]),
    ("raise-FPE",          signal.SIGFPE,       ["entered"]),
    ("raise-ILL",          signal.SIGILL,       ["entered"]),
    ("raise-ABRT",         signal.SIGABRT,      ["entered"]),
    # a fault outside the guard, before any and after one that caught
    ("fault-outside",      signal.SIGSEGV,      ["outside the guard"]),
    ("fault-after-catch",  signal.SIGSEGV,      ["caught"]),
]

_, command = split_command(sys.argv[1:])
checker = Checker("guard")
for mode, ends_by, lines in MODES:
    status, out, err = run_to_pipe(command + [mode])
    expected_status = -ends_by if ends_by else 0
    checker.check(status == expected_status,
                  f"{mode}: {status_text(status)}, expected {status_text(expected_status)}")
    checker.check(err == b"", f"{mode}: stderr holds {err[:200]!r}")
    checker.lines(out.decode("latin-1").splitlines(), lines, f"{mode}: output")
checker.finish()
