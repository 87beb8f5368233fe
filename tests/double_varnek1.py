"""varnek1 built against the scripted test double (tests/double): the calls it
makes, in order and with their arguments, and the report it prints for what the
double answers.

usage: double_varnek1.py GROUP -- command
GROUP: answers, faults, handled-faults, whole-count, null-colour-space,
other-faults (POSIX), exceptions (Windows)"""
import signal
import sys

from harness import (Checker, check_death, check_exception_end, crlf, lost_after, run_double,
                     run_to_file, run_to_pipe, split_command, status_text)

FILL = "-825307442"  # lcsSize of a record left all 0xCE
SEH = "Got SEH"

# The probe's three tables: how the double's log names each value, and the
# case label the report prints for it.
HANDLES = [("0", "NULL"), ("cs", "GetColorSpace(hdc)"), ("1", "(HCOLORSPACE)1")]
BUFFERS = [("0", "NULL"), ("@0", "&log"), ("1", "(LPLOGCOLORSPACE)1")]
SIZES = [("0", "0"), ("4", "4"), ("328", "sizeof(LOGCOLORSPACE)"),
         ("329", "sizeof(LOGCOLORSPACE) + 1"), ("428", "sizeof(LOGCOLORSPACE) + 100")]
CASES = [(i, j, k) for i in range(3) for j in range(3) for k in range(5)]  # call n is case n
FIRST_WITH_LOG = CASES.index((0, 1, 0))  # before it the double has seen no record


def report_lines(results):
    """The report's lines, given one result line (or SEH) for each case."""
    lines = ["sizeof(LOGCOLORSPACE): 328"]
    for (i, j, k), result in zip(CASES, results):
        lines += ["---", f"#[{i},{j},{k}]:GetLogColorSpace({HANDLES[i][1]}, {BUFFERS[j][1]}, "
                         f"{SIZES[k][1]}):", result]
    return lines


def expected_log(faulted=(), colour_space="cs"):
    """Every call the double must receive, in order: the sentinel right before
    each probed call, the record filled in place, GetLastError right after
    unless the call faulted."""
    log = ["CreateCompatibleDC(0)", "GetColorSpace(dc)"]
    for n, (i, j, k) in enumerate(CASES):
        handle = colour_space if i == 1 else HANDLES[i][0]
        fill = "fill:none" if n < FIRST_WITH_LOG else "fill:CE"
        log += ["SetLastError(123456)",
                f"GetLogColorSpaceA({handle}, {BUFFERS[j][0]}, {SIZES[k][0]}) {fill}"]
        if n not in faulted:
            log.append("GetLastError()")
    return log + ["DeleteDC(dc)"]


def first_rule(rules, case):
    """The rest of the first row of a rule table whose test matches the case."""
    return next(row[1:] for row in rules if row[0](*case))


def expect_run(checker, command, what, script, results, log):
    for runner, where in ((run_to_file, "file"), (run_to_pipe, "pipe")):
        status, out, err, actual_log = run_double(command, script, runner)
        label = f"{what}, to a {where}"
        checker.check(status == 0, f"{label}: {status_text(status)}")
        checker.check(err == b"", f"{label}: stderr holds {err[:200]!r}")
        checker.same(out, crlf(report_lines(results)), f"{label}: report")
        checker.lines(actual_log, log, f"{label}: the double's log")


def own_size(n):
    """lcsSize as the report shows it when the double wrote 7000 + n into log:
    its own call's value in every case from the first that passes &log."""
    return str(7000 + n) if n >= FIRST_WITH_LOG else FILL


# Answers like the stand-in's, with other values. Every call also writes
# 7000 + n into lcsSize of the record the double last saw, which is log even
# when the call was passed null or the address 1.
ANSWERS = [
    # which cases                the double's answer          the result line
    (lambda i, j, k: i != 1,     "ret=0 err=1400",            "ret:0, LastError:1400"),
    (lambda i, j, k: j == 0,     "ret=0 err=0x80070057",      "ret:0, LastError:-2147024809"),
    (lambda i, j, k: k < 2,      "ret=-1 err=0xFFFFFFFF",     "ret:-1, LastError:-1"),
    (lambda i, j, k: j == 2,     "ret=2147483647 err=0",      "ret:2147483647, LastError:0"),
    (lambda i, j, k: True,       "ret=7",                     "ret:7, LastError:123456"),
]


def group_answers(checker, command):
    script, results = [], []
    for n, case in enumerate(CASES):
        actions, line = first_rule(ANSWERS, case)
        script.append(f"{n}: {actions} lcsSize={7000 + n}")
        results.append(f"{line}, log.lcsSize:{own_size(n)}")
    expect_run(checker, command, "answers", "; ".join(script), results, expected_log())


# Faults in many cases of one run: each faulting call first writes its lcsSize
# into log, then faults; the next case must fill log afresh.
FAULT_SETS = [
    # what                          the calls that fault
    ("every case",                  set(range(len(CASES)))),
    ("first, a run of three, last", {0, 1, 7, 8, 9, 22, 29, 44}),
]


def group_faults(checker, command):
    for what, faulting in FAULT_SETS:
        script = "; ".join(f"{n}: lcsSize={7000 + n} err=99 ret=9" + (" fault" if n in faulting else "")
                           for n in range(len(CASES)))
        results = [SEH if n in faulting else f"ret:9, LastError:99, log.lcsSize:{own_size(n)}"
                   for n in range(len(CASES))]
        expect_run(checker, command, what, script, results, expected_log(faulting))


# A double whose call faults at the address 1 and handles that itself, as
# platform functions that guard their own access to caller memory do: no guard
# sees it, so the case prints the call's result. Real faults in between are
# still caught, each by the guard around its own case.
HANDLED_EVERY = 3  # cases 0, 3, 6...: handled; 1, 4, 7...: real faults; the rest plain
HANDLED_LOG = "fault handled below: address reported bad"


def group_handled_faults(checker, command):
    script, results = [], []
    for n in range(len(CASES)):
        kind = n % HANDLED_EVERY
        if kind == 0:
            script.append(f"{n}: handled-fault ret=5 err=6 lcsSize={7000 + n}")
            results.append(f"ret:5, LastError:6, log.lcsSize:{own_size(n)}")
        elif kind == 1:
            script.append(f"{n}: fault")
            results.append(SEH)
        else:
            script.append(f"{n}: ret=1")
            results.append(f"ret:1, LastError:123456, log.lcsSize:{FILL}")
    faulted = {n for n in range(len(CASES)) if n % HANDLED_EVERY == 1}
    log, n = [], 0
    for line in expected_log(faulted):
        log.append(line)
        if line.startswith("GetLogColorSpaceA("):
            if n % HANDLED_EVERY == 0:
                log.append(HANDLED_LOG)
            n += 1
    expect_run(checker, command, "faults handled below the probe", "; ".join(script), results, log)


# A double that writes the whole byte count it is given, 0x11 bytes, at the
# address it is given: 329 and 428 bytes at log, which has spare room after it.
# Each call answers 1 and leaves the last error alone.
SPILL = [
    # which cases                      the result line
    (lambda i, j, k: j == 2 and k > 0, SEH),  # the address 1
    (lambda i, j, k: j == 1 and k > 1, "ret:1, LastError:123456, log.lcsSize:286331153"),  # 0x11111111
    (lambda i, j, k: True,             f"ret:1, LastError:123456, log.lcsSize:{FILL}"),  # 0 or 4 bytes, or null
]


def group_whole_count(checker, command):
    results = [first_rule(SPILL, case)[0] for case in CASES]
    faulted = {n for n, result in enumerate(results) if result == SEH}
    expect_run(checker, command, "whole count written", "*: spill=11 ret=1", results,
               expected_log(faulted))


def group_null_colour_space(checker, command):
    script = "GetColorSpace: ret=0; *: ret=2 err=3"
    results = [f"ret:2, LastError:3, log.lcsSize:{FILL}"] * len(CASES)
    expect_run(checker, command, "GetColorSpace yields null", script, results,
               expected_log(colour_space="0"))


# Faults that no guard may catch end the run by their signal: report text still
# in the buffer is lost, so the output holds only whole 512-byte writes.
DEATHS = [
    # where (call number or function)  script                   ends by
    ("GetColorSpace",                   "GetColorSpace: fault",  signal.SIGSEGV),  # outside the guard
    (0,                                 "0: other=raise-segv",   signal.SIGSEGV),
    (13,                                "13: other=kill-segv",   signal.SIGSEGV),
    (20,                                "20: other=raise-bus",   signal.SIGBUS),
    (29,                                "29: other=ill",         signal.SIGILL),
    (35,                                "35: other=fpe",         signal.SIGFPE),
    (40,                                "40: other=abrt",        signal.SIGABRT),
    (42,                                "42: other=int",         signal.SIGINT),
    (44,                                "44: other=term",        signal.SIGTERM),
    ("DeleteDC",                        "DeleteDC: fault",       signal.SIGSEGV),  # after the last case
]


def group_other_faults(checker, command):
    plain = f"ret:0, LastError:123456, log.lcsSize:{FILL}"
    whole = crlf(report_lines([plain] * len(CASES)))
    full_log = expected_log()
    for where, script, ends_by in DEATHS:
        if where == "GetColorSpace":
            printed, log = 0, full_log[:2]
        elif where == "DeleteDC":
            printed, log = len(whole), full_log
        else:  # case n's header line is printed, its result line not yet
            printed = len(crlf(report_lines([plain] * len(CASES))[:3 + 3 * where]))
            log = full_log[:4 + 3 * where]
        check_death(checker, command, script, ends_by, lost_after(whole, printed), log)


# On Windows the same ends come by exceptions that no guard may catch: the exit
# status is the exception's code (abort: the C runtime's 3).
EXCEPTIONS = [
    # where (call number or function)  script                   exit status
    ("GetColorSpace",                   "GetColorSpace: fault",  0xC0000005),  # outside the guard
    (0,                                 "0: other=other",        0xE0564E4B),
    (29,                                "29: other=ill",         0xC000001D),
    (35,                                "35: other=fpe",         0xC0000094),
    (40,                                "40: other=abrt",        3),
    ("DeleteDC",                        "DeleteDC: fault",       0xC0000005),  # after the last case
]


def group_exceptions(checker, command):
    lines = report_lines([f"ret:0, LastError:123456, log.lcsSize:{FILL}"] * len(CASES))
    full_log = expected_log()
    for where, script, code in EXCEPTIONS:
        if where == "GetColorSpace":
            printed, log = [], full_log[:2]
        elif where == "DeleteDC":
            printed, log = lines, full_log
        else:  # case n's header line is printed, its result line not yet
            printed, log = lines[:3 + 3 * where], full_log[:4 + 3 * where]
        check_exception_end(checker, command, script, code, crlf(printed), log)


GROUPS = {
    "answers": group_answers,
    "faults": group_faults,
    "handled-faults": group_handled_faults,
    "whole-count": group_whole_count,
    "null-colour-space": group_null_colour_space,
    "other-faults": group_other_faults,
    "exceptions": group_exceptions,
}

options, program = split_command(sys.argv[1:])
run_checker = Checker(f"double varnek1 {options[0]}")
GROUPS[options[0]](run_checker, program)
run_checker.finish()
