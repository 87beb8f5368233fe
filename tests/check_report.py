"""Checks a probe's whole report byte for byte, to a file and to a pipe, with
arguments on its command line (which it ignores): exit status 0, nothing on
stderr.

usage: check_report.py EXPECTED -- command [args]"""
import sys

from harness import Checker, run_to_file, run_to_pipe, split_command

options, command = split_command(sys.argv[1:])
with open(options[0], "rb") as f:
    expected = f.read()

checker = Checker(command[-1])
for runner, where in ((run_to_file, "file"), (run_to_pipe, "pipe")):
    for arguments in ([], ["ignored", "--help", "/?"]):
        status, out, err = runner(command + arguments)
        label = f"to a {where}, arguments {arguments}"
        checker.check(status == 0, f"{label}: exit status {status}")
        checker.check(err == b"", f"{label}: stderr holds {err[:200]!r}")
        checker.same(out, expected, f"{label}: report")
checker.finish()
