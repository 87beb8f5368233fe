"""The report stream on Windows, run under Wine: where report_open buffers
standard output, and failed writes.

- A console (under Wine: a pseudo-terminal, for which it makes a console)
  is unbuffered; a file, a pipe and a character device that the C runtime's
  isatty calls a device but that is no console (/dev/null, as NUL is on
  Windows) get the 512-byte buffer.
- A failed write changes nothing: to a full disk, to a closed standard
  output and to a pipe with no reader the probe ends with status 0 and
  nothing on stderr.

usage: check_stream.py STREAM_MODE_COMMAND... -- PROBE_COMMAND..."""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import (Checker, run_stdout_closed, run_to_file, run_to_full_disk,  # noqa: E402
                     run_to_no_reader, run_to_pipe, run_to_pty, split_command)


def run_to_null(command):
    done = subprocess.run(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE, check=False)
    return done.returncode, b"", done.stderr


OUTPUTS = [
    # where standard output goes, how it runs there, what report_open makes of it
    ("a console", run_to_pty, "unbuffered, isatty 1"),
    ("a file", run_to_file, "buffered 512, isatty 0"),
    ("a pipe", run_to_pipe, "buffered 512, isatty 0"),
    ("/dev/null", run_to_null, "buffered 512, isatty 1"),
]
FAILING = [
    ("a full disk", run_to_full_disk),
    ("a closed standard output", run_stdout_closed),
    ("a pipe with no reader", run_to_no_reader),
]

mode_command, probe_command = split_command(sys.argv[1:])
checker = Checker("stream")
with tempfile.TemporaryDirectory() as scratch:
    finding = os.path.join(scratch, "finding")
    for where, run, expected in OUTPUTS:
        status, _, err = run(mode_command + [finding])
        with open(finding) as f:
            found = f.read().strip()
        checker.check(status == 0 and err == b"", f"{where}: status {status}, stderr {err[:200]!r}")
        checker.check(found == expected, f"{where}: {found!r}, expected {expected!r}")
for where, run in FAILING:
    status, _, err = run(probe_command)
    checker.check(status == 0, f"to {where}: exit status {status}")
    checker.check(err == b"", f"to {where}: stderr holds {err[:200]!r}")
checker.finish()
