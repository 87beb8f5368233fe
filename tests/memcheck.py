"""Runs a probe under valgrind memcheck, its whole report to a file and to a
pipe, and checks: exit status 0, nothing on stderr, the same report bytes as
the expected report and as a run without valgrind, no memory errors and no
leaks. The only errors allowed are the guarded cases' faults (one for each
"Got SEH" line of the report), and they must be exactly what the checked-in
suppression holds: a run without it shows that many invalid one-byte writes
to address 1 and nothing else, and a run with it counts them, from valgrind's
-v summary, under that one suppression and no other.

usage: memcheck.py VALGRIND SUPPRESSIONS EXPECTED -- command [args]"""
import os
import re
import sys

from harness import Checker, run_to_file, run_to_pipe, split_command, temporary_path

SUPPRESSION = "standin-copyBytes-write-to-bogus-address"
ERRORS_FOUND = 99

options, command = split_command(sys.argv[1:])
valgrind, suppressions, expected_path = options
with open(expected_path, "rb") as f:
    expected = f.read()
faults = expected.count(b"Got SEH\r\n")

checker = Checker(f"memcheck {os.path.basename(command[-1])}")


def memcheck(runner, where, suppressed):
    """Runs the probe under memcheck and checks its report; returns valgrind's log."""
    log_path = temporary_path(".log")
    try:
        arguments = [valgrind, "--tool=memcheck", "-v", f"--log-file={log_path}",
                     f"--error-exitcode={ERRORS_FOUND}", "--leak-check=full",
                     "--show-leak-kinds=all", "--errors-for-leak-kinds=all"]
        if suppressed:
            arguments.append(f"--suppressions={suppressions}")
        status, out, err = runner(arguments + command)
        with open(log_path, encoding="utf-8", errors="replace") as f:
            log = re.sub(r"(?m)^==\d+== ", "", f.read())
    finally:
        os.remove(log_path)
    label = f"to a {where}{'' if suppressed else ', no suppressions'}"
    wanted_status = 0 if suppressed or not faults else ERRORS_FOUND
    checker.check(status == wanted_status, f"{label}: exit status {status}\n{log}")
    checker.check(err == b"", f"{label}: stderr holds {err[:200]!r}")
    checker.same(out, expected, f"{label}: report")
    checker.check("All heap blocks were freed -- no leaks are possible" in log,
                  f"{label}: heap blocks left at exit\n{log}")
    return log


def summary(log):
    """(errors, contexts, suppressed errors, suppressed contexts) from the last summary."""
    found = re.findall(r"ERROR SUMMARY: (\d+) errors from (\d+) contexts "
                       r"\(suppressed: (\d+) from (\d+)\)", log)
    return tuple(int(n) for n in found[-1]) if found else None


def used_suppressions(log):
    """{name: count} of every suppression valgrind -v says it used."""
    return {name: int(count)
            for count, name in re.findall(r"used_suppression:\s+(\d+) (\S+)", log)}


# The report without valgrind, to be sure the golden report is this build's.
for runner, where in ((run_to_file, "file"), (run_to_pipe, "pipe")):
    status, out, _ = runner(command)
    checker.same(out, expected, f"without valgrind, to a {where}: report")

for runner, where in ((run_to_file, "file"), (run_to_pipe, "pipe")):
    log = memcheck(runner, where, suppressed=True)
    contexts = 1 if faults else 0
    checker.check(summary(log) == (0, 0, faults, contexts),
                  f"to a {where}: summary {summary(log)}, expected 0 errors and "
                  f"{faults} suppressed from {contexts}\n{log}")
    wanted = {SUPPRESSION: faults} if faults else {}
    checker.check(used_suppressions(log) == wanted,
                  f"to a {where}: suppressions used {used_suppressions(log)}, expected {wanted}")

if faults:
    # What the suppression hides: the faults at address 1 and nothing else.
    log = memcheck(run_to_file, "file", suppressed=False)
    checker.check(summary(log) == (faults, 1, 0, 0),
                  f"no suppressions: summary {summary(log)}, expected {faults} errors from 1")
    fault = re.search(r"^(\d+) errors in context 1 of 1:\n"
                      r"Invalid write of size 1\n"
                      r" +at 0x[0-9A-F]+: (?:\(anonymous namespace\)::)?copyBytes[ (].*\n"
                      r"(?: +by .*\n)*"
                      r" +Address 0x1 is not stack'd, malloc'd or \(recently\) free'd$", log, re.M)
    checker.check(fault is not None and int(fault.group(1)) == faults,
                  f"no suppressions: the errors are not {faults} writes to address 1 "
                  f"in copyBytes\n{log}")
checker.finish()
