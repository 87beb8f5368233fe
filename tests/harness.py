"""Runs a program the way the report tests need: standard output to a file or
a pipe, stderr captured, and the first difference to an expected report shown
readably."""
import os
import signal
import subprocess
import sys
import tempfile


def _limit_core_files():
    """Runs in the child before the program: runs that end by a signal must
    leave no core file behind."""
    import resource
    resource.setrlimit(resource.RLIMIT_CORE, (0, 0))


_no_core_files = _limit_core_files if os.name == "posix" else None


def run_to_file(command, env=None, cwd=None):
    """Runs command with stdout to a regular file. Returns (status, stdout, stderr)."""
    with tempfile.TemporaryFile() as out:
        done = subprocess.run(command, stdout=out, stderr=subprocess.PIPE, stdin=subprocess.DEVNULL,
                              env=env, cwd=cwd, preexec_fn=_no_core_files, check=False)
        out.seek(0)
        return done.returncode, out.read(), done.stderr


def run_to_pipe(command, env=None, cwd=None):
    """Runs command with stdout to a pipe. Returns (status, stdout, stderr)."""
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, stdin=subprocess.DEVNULL,
                          env=env, cwd=cwd, preexec_fn=_no_core_files, check=False)
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

    def lines(self, actual, expected, what):
        """Compares two lists of text lines, showing the first that differs."""
        for number, (got, wanted) in enumerate(zip(actual, expected), 1):
            if got != wanted:
                self.failures.append(f"{what}: line {number} is {got!r}, expected {wanted!r}")
                return
        if len(actual) != len(expected):
            self.failures.append(f"{what}: {len(actual)} lines, expected {len(expected)}; "
                                 f"first extra or missing: "
                                 f"{(actual[len(expected):] or expected[len(actual):])[0]!r}")

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


def _run_logged(command, runner, log_variable, variables):
    """Runs command in a directory of its own with the environment variables
    given and log_variable naming a log file there. Returns (status, stdout,
    stderr, log) where log is the list of the log's lines."""
    with tempfile.TemporaryDirectory() as directory:
        env = dict(os.environ, **variables)
        env[log_variable] = "run.log"
        command = [os.path.abspath(part) if os.path.exists(part) else part for part in command]
        status, out, err = runner(command, env=env, cwd=directory)
        try:
            with open(os.path.join(directory, "run.log"), "rb") as f:
                log = f.read().decode("latin-1").splitlines()
        except FileNotFoundError:
            log = []
    return status, out, err, log


def run_double(command, script, runner=run_to_file):
    """Runs a probe built against the scripted test double with the script
    given. Returns (status, stdout, stderr, the double's log lines)."""
    return _run_logged(command, runner, "VARNEK_DOUBLE_LOG", {"VARNEK_DOUBLE_SCRIPT": script})


def run_recorded(command, runner=run_to_file, script=""):
    """Runs a program linked with the write recorder (runtime/write-recorder-posix.cc),
    its writes to stdout going as script says. Returns (status, stdout, stderr,
    the recorder's log lines)."""
    return _run_logged(command, runner, "VARNEK_WRITE_LOG", {"VARNEK_WRITE_SCRIPT": script})


def run_to_pty(command, env=None, cwd=None):
    """Runs command with stdout to a pseudo-terminal in raw mode, so the bytes
    read are the bytes written. Returns (status, stdout, stderr)."""
    import pty
    import tty
    master, slave = pty.openpty()
    tty.setraw(slave)
    with tempfile.TemporaryFile() as err:
        process = subprocess.Popen(command, stdout=slave, stderr=err, stdin=subprocess.DEVNULL,
                                   env=env, cwd=cwd, preexec_fn=_no_core_files)
        os.close(slave)
        out = b""
        while True:
            try:
                chunk = os.read(master, 65536)
            except OSError:  # EIO once the program's end closed the terminal
                break
            if not chunk:
                break
            out += chunk
        os.close(master)
        status = process.wait()
        err.seek(0)
        return status, out, err.read()


def run_to_no_reader(command, env=None, cwd=None):
    """Runs command with stdout to a pipe whose reading end is closed."""
    reader, writer = os.pipe()
    os.close(reader)
    try:
        done = subprocess.run(command, stdout=writer, stderr=subprocess.PIPE, stdin=subprocess.DEVNULL,
                              env=env, cwd=cwd, preexec_fn=_no_core_files, check=False)
    finally:
        os.close(writer)
    return done.returncode, b"", done.stderr


def run_to_full_disk(command, env=None, cwd=None):
    """Runs command with stdout to /dev/full: every write fails with ENOSPC."""
    with open("/dev/full", "wb") as full:
        done = subprocess.run(command, stdout=full, stderr=subprocess.PIPE, stdin=subprocess.DEVNULL,
                              env=env, cwd=cwd, preexec_fn=_no_core_files, check=False)
    return done.returncode, b"", done.stderr


def run_stdout_closed(command, env=None, cwd=None):
    """Runs command with its standard output closed."""
    def close_stdout():
        _limit_core_files()
        os.close(1)
    done = subprocess.run(command, stderr=subprocess.PIPE, stdin=subprocess.DEVNULL,
                          env=env, cwd=cwd, preexec_fn=close_stdout, check=False)
    return done.returncode, b"", done.stderr


def whole_buffers(length):
    """The sizes of the writes that carry length bytes through a 512-byte
    buffer: 512 each but the last."""
    return [512] * (length // 512) + ([length % 512] if length % 512 else [])


def crlf(lines):
    """The report text of a list of lines (bytes or str), each ended by CR LF."""
    return b"".join((line if isinstance(line, bytes) else line.encode("latin-1")) + b"\r\n"
                    for line in lines)


def status_text(status):
    """A process's end as words: 'exit 0', 'signal SIGSEGV'."""
    if status < 0:
        try:
            return f"signal {signal.Signals(-status).name}"
        except ValueError:
            return f"signal {-status}"
    return f"exit {status}"


def lost_after(report, printed):
    """What a file holds when the run dies after the report's first 'printed'
    bytes: only the whole 512-byte buffers written before."""
    return report[:printed - printed % 512]


def check_death(checker, command, script, ends_by, report, log):
    """Runs a probe built against the double, to a file and to a pipe, with a
    script that must end the run by the signal ends_by: nothing on stderr,
    what arrives is the report as written so far, the log ends at the fault."""
    for runner, place in ((run_to_file, "file"), (run_to_pipe, "pipe")):
        status, out, err, actual_log = run_double(command, script, runner)
        label = f"{script!r}, to a {place}"
        checker.check(status == -ends_by,
                      f"{label}: {status_text(status)}, expected {status_text(-ends_by)}")
        checker.check(err == b"", f"{label}: stderr holds {err[:200]!r}")
        checker.same(out, report, f"{label}: report")
        checker.lines(actual_log, log, f"{label}: the double's log")


def check_exception_end(checker, command, script, code, printed, log):
    """The Windows counterpart of check_death: runs a probe built against the
    double, to a file and to a pipe, with a script that must end the run by an
    exception that no guard catches. The exit status is its code (Wine passes
    on the low byte); what arrives is some beginning of the text printed
    before the fault, since whether the C runtime's buffer is written at such
    an end is the runtime's affair (Wine's writes it, Windows' does not); the
    log ends at the fault; stderr holds nothing but Wine's account of it."""
    for runner, place in ((run_to_file, "file"), (run_to_pipe, "pipe")):
        status, out, err, actual_log = run_double(command, script, runner)
        label = f"{script!r}, to a {place}"
        checker.check(status in (code, code & 0xFF),
                      f"{label}: {status_text(status)}, expected the exception code {code:#x}")
        foreign = [line for line in err.splitlines() if not line.startswith(b"wine: ")]
        checker.check(not foreign, f"{label}: stderr holds {err[:200]!r}")
        checker.check(printed.startswith(out),
                      f"{label}: the report is not a beginning of the text printed before the fault: "
                      f"{first_difference(out, printed[:len(out)])}")
        checker.lines(actual_log, log, f"{label}: the double's log")
