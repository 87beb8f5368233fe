"""The report stream on its own, through runtime/report-check.cc (a program that
prints what its arguments say), and the probes' streams through builds with
every write to standard output recorded (runtime/write-recorder-posix.cc).

usage: check_stream.py formats -- command
       check_stream.py writes -- command
       check_stream.py probe EXPECTED -- command"""
import sys

from harness import (Checker, first_difference, run_recorded, run_stdout_closed, run_to_file,
                     run_to_full_disk, run_to_no_reader, run_to_pipe, run_to_pty, split_command,
                     status_text, whole_buffers)

# One print each; the conventions of the Windows C runtime: int and long are
# 32-bit, and text mode writes every LF as CR LF.
FORMATS = [
    # format          arguments                     prints
    ("%d",            ["i:-2147483648"],            b"-2147483648"),
    ("%d|%d",         ["i:0", "i:2147483647"],      b"0|2147483647"),
    ("%ld",           ["u:0xFFFFFFFF"],             b"-1"),  # a last-error value 0xFFFFFFFF
    ("%ld",           ["u:0x80070057"],             b"-2147024809"),
    ("%lu",           ["u:0xFFFFFFFF"],             b"4294967295"),
    ("%u",            ["u:328"],                    b"328"),
    ("%08lX",         ["u:0x1A"],                   b"0000001A"),
    ("%08lX",         ["u:0xFFFFFFFF"],             b"FFFFFFFF"),
    ("%08lX|%08lX",   ["u:0", "u:0xDEDEDEDE"],      b"00000000|DEDEDEDE"),
    ("%ld %s %ld",    ["i:-1", "s:mid", "u:7"],     b"-1 mid 7"),  # 32-bit arguments stay in step
    ("%s",            ["h:DEE9"],                   b"\xde\xe9"),  # bytes as they are
    ("[%s]",          ["s:"],                       b"[]"),
    ("100%%",         [],                           b"100%"),
    ("a\nb\n",        [],                           b"a\r\nb\r\n"),
    ("%s",            ["h:410A0D0A0A"],             b"A\r\n\r\r\n\r\n"),  # LFs in a value too
]


def group_formats(checker, command, _):
    for format_, arguments, printed in FORMATS:
        for runner, where in ((run_to_file, "file"), (run_to_pipe, "pipe")):
            status, out, err = runner(command + [format_] + arguments)
            label = f"{format_!r} {arguments} to a {where}"
            checker.check(status == 0 and err == b"", f"{label}: {status_text(status)}, stderr {err[:200]!r}")
            checker.check(out == printed, f"{label}: {out!r}, expected {printed!r}")


X, Y, Z = "x" * 512, "y" * 512, "z" * 476
COUNTING = [f"{n}\n" for n in range(300)]

# What reaches the file or pipe, and in which writes, for a list of prints.
# Writes the recorder makes fail or fall short (its script) are retried when
# interrupted or short, dropped when they fail.
WRITES = [
    # what                        prints              script                                 writes (asked -> result)
    ("nothing printed",           [],                 "",                                    []),
    ("one print over the buffer", ["a" * 600],        "",                                    ["512 -> 512", "88 -> 88"]),
    ("exactly the buffer",        ["a" * 512],        "",                                    ["512 -> 512"]),
    # the CR of a CR LF fills the buffer: its LF goes on into the next
    ("a line of 512 with CR LF",  ["a" * 511 + "\n"], "",                                    ["512 -> 512", "1 -> 1"]),
    ("many small prints",         COUNTING,           "",
     [f"{size} -> {size}" for size in whole_buffers(len("".join(COUNTING)) + len(COUNTING))]),
    ("interrupted and short",     [X + Y + Z],        "eintr,short:100,eagain,short:1,eintr",
     ["512 -> EINTR", "512 -> 100", "412 -> EAGAIN", "412 -> 1", "411 -> EINTR", "411 -> 411",
      "512 -> 512", "476 -> 476"]),
    ("a failed write dropped",    [X + Y + Z],        "ok,eio",                              ["512 -> 512", "512 -> EIO", "476 -> 476"]),
]


def prints_argv(prints):
    argv = []
    for text in prints:
        argv += ["%s", "s:" + text, ";"]
    return argv


def group_writes(checker, command, _):
    for what, prints, script, writes in WRITES:
        text = "".join(prints).replace("\n", "\r\n").encode()
        if "eio" in script:
            text = (X + Z).encode()  # the second buffer, Y, is lost
        for runner, where in ((run_to_file, "file"), (run_to_pipe, "pipe")):
            status, out, err, log = run_recorded(command + prints_argv(prints), runner, script)
            label = f"{what}, to a {where}"
            checker.check(status == 0 and err == b"", f"{label}: {status_text(status)}, stderr {err[:200]!r}")
            checker.same(out, text, f"{label}: output")
            checker.lines(log, [f"write {write}" for write in writes], f"{label}: writes")
    # On a terminal: no buffer, each print goes out in one write as it is made.
    prints = ["one\n", "two\nthree\n", "a" * 1000 + "\n"]
    status, out, err, log = run_recorded(command + prints_argv(prints), run_to_pty)
    checker.check(status == 0 and err == b"", f"terminal: {status_text(status)}, stderr {err[:200]!r}")
    checker.same(out, "".join(prints).replace("\n", "\r\n").encode(), "terminal: output")
    checker.lines(log, ["write 5 -> 5", "write 12 -> 12", "write 1002 -> 1002"], "terminal: writes")


def line_writes(report):
    """One write for each line of the report."""
    sizes = [len(line) + 2 for line in report.split(b"\r\n")[:-1]]
    return [f"write {size} -> {size}" for size in sizes]


def group_probe(checker, command, options):
    with open(options[1], "rb") as f:
        report = f.read()
    buffered = [f"write {size} -> {size}" for size in whole_buffers(len(report))]
    # where stdout goes, the recorder's script, what arrives, the writes
    cases = [
        ("a file",            run_to_file,       "",                report,       buffered),
        ("a pipe",            run_to_pipe,       "",                report,       buffered),
        ("a terminal",        run_to_pty,        "",                report,       line_writes(report)),
        ("a file, retried",   run_to_file,       "eintr,short:7",   report,
         ["write 512 -> EINTR", "write 512 -> 7", "write 505 -> 505"] + buffered[1:]),
        ("a file, one lost",  run_to_file,       "eio",             report[512:],
         ["write 512 -> EIO"] + buffered[1:]),
    ]
    # Writes that fail: every buffer is still tried, and the run ends well.
    for where, runner, error in (("a pipe with no reader", run_to_no_reader, "EPIPE"),
                                 ("a full disk", run_to_full_disk, "ENOSPC"),
                                 ("a closed stdout", run_stdout_closed, "EBADF")):
        cases.append((where, runner, "", b"",
                      [f"write {size} -> {error}" for size in whole_buffers(len(report))]))
    for where, runner, script, arrives, writes in cases:
        status, out, err, log = run_recorded(command, runner, script)
        label = f"to {where}"
        checker.check(status == 0, f"{label}: {status_text(status)}")
        checker.check(err == b"", f"{label}: stderr holds {err[:200]!r}")
        difference = first_difference(out, arrives)
        checker.check(difference is None, f"{label}: output {difference}")
        checker.lines(log, writes, f"{label}: writes")


GROUPS = {"formats": group_formats, "writes": group_writes, "probe": group_probe}

options, program = split_command(sys.argv[1:])
run_checker = Checker(f"stream {options[0]}")
GROUPS[options[0]](run_checker, program, options)
run_checker.finish()
