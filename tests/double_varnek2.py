"""varnek2 (narrow) and varnek2w (wide) built against the scripted test double
(tests/double): the calls they make, in order and with their arguments, and the
report they print for what the double answers. Probed call 0 is the first route
(GetLogColorSpace into lcs1), call 1 the second (GetObject into lcs2).

usage: double_varnek2.py narrow|wide GROUP -- command
GROUP: routes, compare, names, wide-buffer, deaths (POSIX), exceptions (Windows)"""
import signal
import struct
import sys

from harness import (Checker, check_death, check_exception_end, crlf, lost_after, run_double, split_command,
                     status_text)

BUILDS = {
    # build     record size  functions' suffix  an untouched name as printed
    "narrow": (328,         "A",               "\xde" * 260),  # the bytes as they are
    "wide":   (588,         "W",               "?" * 260),     # 0xDEDE converted by the double
}
FIELDS = ["lcsSignature", "lcsVersion", "lcsSize", "lcsCSType", "lcsIntent", "lcsEndpoints",
          "lcsGammaRed", "lcsGammaGreen", "lcsGammaBlue"]
UNTOUCHED = " ".join(["DEDEDEDE"] * 9)


def words(*values):
    """Hex digits of 32-bit little-endian words, for a bytes= action."""
    return "".join(struct.pack("<I", value & 0xFFFFFFFF).hex().upper() for value in values)


def dump(record, hex_words, name):
    """A record's ten field lines: nine words as printed, then the file name."""
    return ([f"{record}.{field}: {word}" for field, word in zip(FIELDS, hex_words.split())] +
            [f"{record}.lcsFilename: {name}"])


def expected_log(build, lengths=(260, 260), handle="cs"):
    """Every call the double must receive, in order: the sentinel right before
    each route, each record filled in place, GetLastError right after, the byte
    count before the address in GetObject; in the wide build both names
    converted from their record's field into the one 1024-byte buffer."""
    size, suffix, _ = BUILDS[build]
    log = ["CreateCompatibleDC(0)", "GetColorSpace(dc)", f"GetObjectType({handle})",
           "SetLastError(123456)", f"GetLogColorSpace{suffix}({handle}, @0, {size}) fill:DE",
           "GetLastError()",
           "SetLastError(123456)", f"GetObject{suffix}({handle}, {size}, @1) fill:DE",
           "GetLastError()"]
    if build == "wide":
        log += [f"WideCharToMultiByte(0, 0, @{record}+68, {length}, @2, 1024, 0, 0)"
                for record, length in enumerate(lengths)]
    return log + ["DeleteDC(dc)"]


def run_checked(checker, command, label, script, log):
    """Runs to a file; checks the exit, stderr and log. Returns the report."""
    status, out, err, actual_log = run_double(command, script)
    checker.check(status == 0, f"{label}: {status_text(status)}")
    checker.check(err == b"", f"{label}: stderr holds {err[:200]!r}")
    checker.lines(actual_log, log, f"{label}: the double's log")
    return out


def report_text(build, lines):
    size, suffix, untouched = BUILDS[build]
    return crlf(line.format(size=size, X=suffix, untouched=untouched).encode("latin-1")
                for line in lines)


FIXED1 = words(0x50534F43, 0x401, 42, 0x57696E20, 8, 0x00010203, *[0x0A0B0C0D] * 8,
               0x10000, 0x20000, 0x30000)
FIXED2 = words(0x50534FC3, 0x402, -7, 0x4C494E4B, 2, 0x7FFFFFFF, *[0x0E0F1011] * 8,
               0x40000, 0x50000, 0x60000)

# Whole reports. "<<Name>>" is where the double, told to mark, printed into the
# report when the call came: both routes run before anything of theirs prints.
ROUTES = [
    ("both routes write",
     f"0: mark ret=1 bytes=0:{FIXED1} name=61,62,63,0; 1: mark ret=-5 err=0 bytes=0:{FIXED2} name=78,79,0",
     ["type: 14",
      "sizeof(LOGCOLORSPACE): {size}",
      "<<GetLogColorSpace{X}>><<GetObject{X}>>ret1:1, err1:123456, lcs1.lcsSize:42",
      "ret2:-5, err2:0, lcs2.lcsSize:-7",
      "compare:-128",  # byte 0: 0x43 against 0xC3
      "---",
      *dump("lcs1", "50534F43 00000401 0000002A 57696E20 00000008 00010203 00010000 00020000 00030000", "abc"),
      "---",
      *dump("lcs2", "50534FC3 00000402 FFFFFFF9 4C494E4B 00000002 7FFFFFFF 00040000 00050000 00060000", "xy")],
     dict(lengths=(-1, -1))),
    ("null colour space, routes write nothing",
     "GetColorSpace: ret=0; 0: err=6",
     ["type: 0",
      "sizeof(LOGCOLORSPACE): {size}",
      "ret1:0, err1:6, lcs1.lcsSize:-555819298",
      "ret2:0, err2:123456, lcs2.lcsSize:-555819298",
      "compare:0",
      "---", *dump("lcs1", UNTOUCHED, "{untouched}"),
      "---", *dump("lcs2", UNTOUCHED, "{untouched}")],
     dict(handle="0")),
    ("32-bit values",
     "GetObjectType: ret=0xFFFFFFFF; 0: lcsSize=0xFFFFFFFF bytes=20:FFFFFFFF ret=-1 err=0x80070057; "
     "1: bytes=0:1A000000 ret=2147483647 err=0xFFFFFFFF",
     ["type: 4294967295",
      "sizeof(LOGCOLORSPACE): {size}",
      "ret1:-1, err1:-2147024809, lcs1.lcsSize:-1",
      "ret2:2147483647, err2:-1, lcs2.lcsSize:-555819298",
      "compare:196",  # byte 0: 0xDE against 0x1A
      "---",
      *dump("lcs1", "DEDEDEDE DEDEDEDE FFFFFFFF DEDEDEDE DEDEDEDE FFFFFFFF DEDEDEDE DEDEDEDE DEDEDEDE",
            "{untouched}"),
      "---",
      *dump("lcs2", "0000001A DEDEDEDE DEDEDEDE DEDEDEDE DEDEDEDE DEDEDEDE DEDEDEDE DEDEDEDE DEDEDEDE",
            "{untouched}")],
     {}),
]


def group_routes(checker, command, build):
    for what, script, lines, log in ROUTES:
        out = run_checked(checker, command, what, script, expected_log(build, **log))
        checker.same(out, report_text(build, lines), f"{what}: report")


# The compare line: the first differing byte of lcs1 minus lcs2's, both
# unsigned, over all the record's bytes.
COMPARE = [
    # route 1 writes           route 2 writes             the compare line
    ("",                       "",                        "compare:0"),    # both all 0xDE
    ("bytes=9:AB",             "bytes=9:AB",              "compare:0"),
    ("bytes=5:01",             "bytes=5:F0",              "compare:-239"),
    ("bytes=5:F0",             "bytes=5:01",              "compare:239"),
    ("bytes=0:00",             "bytes=0:FF",              "compare:-255"),
    ("bytes=7:02 bytes=40:FF", "bytes=7:01 bytes=40:00",  "compare:1"),    # the first difference counts
    ("bytes={last}:00",        "",                        "compare:-222"),  # so does the last byte
    ("name=61,0",              "name=61,0*259",           "compare:222"),  # and the bytes after the NUL
]


def group_compare(checker, command, build):
    size = BUILDS[build][0]
    for route1, route2, line in COMPARE:
        script = f"0: {route1}; 1: {route2}".format(last=size - 1)
        lengths = (-1, -1) if "name=" in route1 else (260, 260)
        out = run_checked(checker, command, script, script, expected_log(build, lengths))
        lines = out.split(b"\r\n")
        checker.check(len(lines) == 28 and lines[27] == b"", f"{script}: {len(lines) - 1} lines")
        checker.check(lines[4] == line.encode(), f"{script}: {lines[4]!r}, expected {line!r}")


# File names, as the lcs1 and lcs2 lines print them. A name with no NUL is all
# 260 characters of the field and nothing beyond it.
NAMES = [
    # build   script                                   lcs1 name           lcs2 name       converted lengths
    ("narrow", "0: name=41*259,E9; 1: name=42*260",    "A" * 259 + "\xe9", "B" * 260,      None),
    ("narrow", "0: name=0; 1: name=61,0A,E9,0",        "",                 "a\r\n\xe9",    None),  # LF as CR LF
    ("wide",   "0: name=41*259,E9; 1: name=42*260",    "A" * 259 + "\xe9", "B" * 260,      (260, 260)),
    ("wide",   "0: name=0; 1: name=61,0A,E9,0",        "",                 "a\r\n\xe9",    (-1, -1)),
    # The text ends where the conversion's count says: a failed one prints
    # nothing, not what the buffer held before.
    ("wide",   "0: name=41*260; 1: name=42*260; WideCharToMultiByte#1: ret=0",
                                                       "A" * 260,          "",             (260, 260)),
]


def group_names(checker, command, build):
    for _, script, name1_text, name2_text, lengths in (row for row in NAMES if row[0] == build):
        log = expected_log(build, lengths) if lengths else expected_log(build)
        out = run_checked(checker, command, script, script, log)
        name1, _, rest = out.partition(b"lcs1.lcsFilename: ")[2].partition(b"\r\n---\r\nlcs2.")
        name2 = rest.partition(b"lcs2.lcsFilename: ")[2]
        for got, wanted in ((name1, name1_text), (name2, name2_text + "\r\n")):  # the end of the report
            wanted = wanted.encode("latin-1")
            checker.check(got == wanted, f"{script}: name {got[:300]!r}, expected {wanted[:300]!r}")


def group_wide_buffer(checker, command, build):
    """The lcs1 line is printed before the lcs2 name is converted into the same
    buffer (the log shows the one buffer, @2, both times)."""
    script = "0: name=6F,6E,65,0; 1: name=74,77,6F,0; WideCharToMultiByte: mark"
    out = run_checked(checker, command, script, script, expected_log(build, (-1, -1)))
    order = [b"<<WideCharToMultiByte>>", b"lcs1.lcsFilename: one\r\n",
             b"<<WideCharToMultiByte>>", b"lcs2.lcsFilename: two\r\n"]
    at = 0
    for piece in order:
        found = out.find(piece, at)
        checker.check(found >= 0, f"{piece!r} not found after byte {at} of {out[at:at + 200]!r}")
        at = max(at, found + len(piece))


# Varnek2 catches nothing: a fault in a route, or any other, ends the run by its
# signal, and the report text still in the buffer is lost.
ENDS = [
    # script               POSIX: ends by   Windows: exit status  in the call
    ("0: fault",           signal.SIGSEGV,  0xC0000005,           "GetLogColorSpace{X}("),
    ("1: other=abrt",      signal.SIGABRT,  3,                    "GetObject{X}("),
    ("DeleteDC: fault",    signal.SIGSEGV,  0xC0000005,           "DeleteDC("),
]


def ends(checker, command, build):
    """For each run of ENDS: its row, the text printed before the fault and
    the log up to the faulting call."""
    baseline = run_checked(checker, command, "baseline", "", expected_log(build))
    full_log = expected_log(build)
    for script, ends_by, code, call in ENDS:
        printed = len(baseline) if call == "DeleteDC(" else baseline.index(b"ret1:")
        call = call.format(X=BUILDS[build][1])
        last = next(n for n, line in enumerate(full_log) if line.startswith(call))
        yield script, ends_by, code, baseline[:printed], full_log[:last + 1]


def group_deaths(checker, command, build):
    for script, ends_by, _, printed, log in ends(checker, command, build):
        check_death(checker, command, script, ends_by, lost_after(printed, len(printed)), log)


# On Windows the same ends come by exceptions: varnek2 has no guard, so an
# access violation ends it too. The exit status is the code (abort: 3).
def group_exceptions(checker, command, build):
    for script, _, code, printed, log in ends(checker, command, build):
        check_exception_end(checker, command, script, code, printed, log)


GROUPS = {
    "routes": group_routes,
    "compare": group_compare,
    "names": group_names,
    "wide-buffer": group_wide_buffer,
    "deaths": group_deaths,
    "exceptions": group_exceptions,
}

options, program = split_command(sys.argv[1:])
run_checker = Checker(f"double varnek2 {options[0]} {options[1]}")
GROUPS[options[1]](run_checker, program, options[0])
run_checker.finish()
