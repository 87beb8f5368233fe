"""Runs a program the way the report tests need: standard output to a file or
a pipe, stderr captured, and the first difference to an expected report shown
readably."""
import os
import subprocess
import sys
import tempfile


def run_to_file(command, env=None):
    """Runs command with stdout to a regular file. Returns (status, stdout, stderr)."""
    with tempfile.TemporaryFile() as out:
        done = subprocess.run(command, stdout=out, stderr=subprocess.PIPE,
                              stdin=subprocess.DEVNULL, env=env, check=False)
        out.seek(0)
        return done.returncode, out.read(), done.stderr


def run_to_pipe(command, env=None):
    """Runs command with stdout to a pipe. Returns (status, stdout, stderr)."""
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          stdin=subprocess.DEVNULL, env=env, check=False)
    return done.returncode, done.stdout, done.stderr


def first_difference(actual, expected):
    """A readable account of where two byte strings part, or None when equal."""
    if actual == expected:
        return None
    at = next((i for i, (a, b) in enumerate(zip(actual, expected)) if a != b),
              min(len(actual), len(expected)))
    line = expected[:at].count(b"\n") + 1
    return (f"differs at byte {at} (line {line}): "
            f"got {actual[at:at + 40]!r}, expected {expected[at:at + 40]!r}; "
            f"lengths {len(actual)} and {len(expected)}")


class Checker:
    """Collects failures so one run reports all of them."""

    def __init__(self, name):
        self.name = name
        self.failures = []

    def check(self, condition, message):
        if not condition:
            self.failures.append(message)

    def same(self, actual, expected, what):
        difference = first_difference(actual, expected)
        if difference:
            self.failures.append(f"{what}: {difference}")

    def finish(self):
        for failure in self.failures:
            print(f"FAIL {self.name}: {failure}", file=sys.stderr)
        if not self.failures:
            print(f"ok {self.name}")
        sys.exit(1 if self.failures else 0)


def split_command(argv):
    """Splits 'options -- command...' into (options, command)."""
    if "--" not in argv:
        sys.exit("usage: ... -- command [args]")
    at = argv.index("--")
    return argv[:at], argv[at + 1:]


def temporary_path(suffix=""):
    handle, path = tempfile.mkstemp(suffix=suffix)
    os.close(handle)
    return path
