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
import pty
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import Checker, split_command  # noqa: E402


def read_all(fd):
    data = b""
    while True:
        try:
            chunk = os.read(fd, 4096)
        except OSError:  # the terminal's other side is gone
            return data
        if not chunk:
            return data
        data += chunk


def with_terminal(command):
    master, slave = pty.openpty()
    process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=slave,
                               stderr=subprocess.PIPE)
    os.close(slave)
    read_all(master)
    os.close(master)
    process.wait()
    return process.returncode, process.stderr.read()


def with_stdout(open_target):
    """Runs with standard output on what open_target() opens: a file
    descriptor, subprocess.PIPE, or None for a closed standard output."""
    def run(command):
        target = open_target()
        done = subprocess.run(command, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL if target is None else target,
                              stderr=subprocess.PIPE, check=False,
                              preexec_fn=(lambda: os.close(1)) if target is None else None)
        if target is not None and target >= 0:
            os.close(target)
        return done.returncode, done.stderr
    return run


def closed_reader():
    reader, writer = os.pipe()
    os.close(reader)
    return writer


mode_command, probe_command = split_command(sys.argv[1:])
checker = Checker("stream")
scratch = tempfile.TemporaryDirectory()

OUTPUTS = [
    # where standard output goes, how it runs there, what report_open makes of it
    ("a console", with_terminal, "unbuffered, isatty 1"),
    ("a file", with_stdout(lambda: os.open(os.path.join(scratch.name, "report"), os.O_WRONLY | os.O_CREAT)), "buffered 512, isatty 0"),
    ("a pipe", with_stdout(lambda: subprocess.PIPE), "buffered 512, isatty 0"),
    ("/dev/null", with_stdout(lambda: os.open(os.devnull, os.O_WRONLY)), "buffered 512, isatty 1"),
]
for where, run, expected in OUTPUTS:
    finding = os.path.join(scratch.name, "finding")
    status, err = run(mode_command + [finding])
    with open(finding) as f:
        found = f.read().strip()
    checker.check(status == 0 and err == b"", f"{where}: status {status}, stderr {err[:200]!r}")
    checker.check(found == expected, f"{where}: {found!r}, expected {expected!r}")

FAILING = [
    ("a full disk", with_stdout(lambda: os.open("/dev/full", os.O_WRONLY))),
    ("a pipe with no reader", with_stdout(closed_reader)),
    ("a closed standard output", with_stdout(lambda: None)),
]
for where, run in FAILING:
    status, err = run(probe_command)
    checker.check(status == 0, f"to {where}: exit status {status}")
    checker.check(err == b"", f"to {where}: stderr holds {err[:200]!r}")
checker.finish()
