"""varnek-compare on tables of small reports: the stand-in's reports, the
fixtures in tests/fixtures/compare and variants made from them below, each
with the exit status and the rows it must mark next to it.

usage: compare_cases.py --expected DIR --fixtures DIR [--probe NAME]... -- [emulator...] varnek-compare

The probes named with --probe are run (through the same emulator) and their
reports compared with themselves."""
import argparse
import os
import re
import shutil
import sys
import tempfile

from compare_reports import GUARDED_ROWS, keys, read
from harness import Checker, run_to_file, split_command

options, command = split_command(sys.argv[1:])
parser = argparse.ArgumentParser()
parser.add_argument("--expected", required=True)
parser.add_argument("--fixtures", required=True)
parser.add_argument("--probe", action="append", default=[])
options = parser.parse_args(options)
emulator, program = command[:-1], command[-1]


STANDIN1 = read(options.expected, "varnek1-standin.txt")
STANDIN2 = read(options.expected, "varnek2-standin.txt")
STANDIN2W = read(options.expected, "varnek2w-standin.txt")
GUARDED1 = read(options.fixtures, "varnek1-guarded.txt")      # five answers edited
UNTOUCHED2 = read(options.fixtures, "varnek2-untouched.txt")  # neither route wrote: raw 0xDE


def with_answer(report, key, line):
    """varnek1 report with the answer line of case key (e.g. "[1,2,2]") replaced."""
    lines = report.split(b"\r\n")
    at = next(n for n, text in enumerate(lines) if text.startswith(b"#" + key.encode() + b":"))
    lines[at + 1] = line
    return b"\r\n".join(lines)


def with_line(report, number, line):
    """report with its line number (1-based) replaced."""
    lines = report.split(b"\r\n")
    lines[number - 1] = line
    return b"\r\n".join(lines)


def lf(report):
    return report.replace(b"\r\n", b"\n")


VARNEK2_ROWS = (["type", "sizeof(LOGCOLORSPACE)", "ret1, err1, lcs1.lcsSize",
                 "ret2, err2, lcs2.lcsSize", "compare"]
                + [f"{record}.{field}" for record in ("lcs1", "lcs2")
                   for field in ("lcsSignature", "lcsVersion", "lcsSize", "lcsCSType",
                                 "lcsIntent", "lcsEndpoints", "lcsGammaRed", "lcsGammaGreen",
                                 "lcsGammaBlue", "lcsFilename")])
WINDOWS_NAME = b"C:\\Windows\\system32\\spool\\drivers\\color\\sRGB Color Space Profile.icm"

# Reports that compare: (what, [(file name, content)], status, rows marked, {row: cells}).
COMPARED = [
    ("identical varnek1", [("a.txt", STANDIN1), ("b.txt", STANDIN1)], 0, set(), {}),
    ("identical varnek2w", [("a.txt", STANDIN2W), ("b.txt", STANDIN2W)], 0, set(), {}),
    ("one value differs",
     [("a.txt", STANDIN1),
      ("b.txt", with_answer(STANDIN1, "[1,1,2]", b"ret:1, LastError:0, log.lcsSize:328"))],
     1, {"[1,1,2]"}, {"[1,1,2]": ["1 123456 328", "1 0 328"]}),
    ("SEH against a result",
     [("a.txt", STANDIN1),
      ("b.txt", with_answer(STANDIN1, "[1,2,2]", b"ret:0, LastError:998, log.lcsSize:-825307442"))],
     1, {"[1,2,2]"}, {"[1,2,2]": ["SEH", "0 998 -825307442"], "[1,2,3]": ["SEH", "SEH"]}),
    ("the stand-in against the guarded fixture",
     [("standin.txt", STANDIN1), ("guarded.txt", GUARDED1)], 1, GUARDED_ROWS,
     {"[1,1,3]": ["1 123456 328", "0 87 -825307442"]}),
    ("three reports, one odd",
     [("x.txt", STANDIN1), ("y.txt", GUARDED1), ("z.txt", STANDIN1)], 1, GUARDED_ROWS,
     {"[1,2,4]": ["SEH", "0 998 -825307442", "SEH"]}),
    # The 512-byte buffer loses the end of a run that dies: files end at any byte.
    ("cut inside the header of [2,1,0]",
     [("whole.txt", STANDIN1), ("cut.txt", STANDIN1[:4096])], 1, keys("[2,1,0]", "[2,2,4]"),
     {"[1,2,4]": ["SEH", "SEH"], "[2,1,0]": ["0 6 -825307442", "missing"]}),
    ("cut inside the answer of [0,2,3]",
     [("cut.txt", STANDIN1[:1536]), ("whole.txt", STANDIN1)], 1, keys("[0,2,3]", "[2,2,4]"),
     {"[0,2,2]": ["0 6 -825307442"] * 2, "[0,2,3]": ["missing", "0 6 -825307442"]}),
    ("cut after a whole line, twice alike",
     [("a.txt", STANDIN1[:STANDIN1.index(b"#[1,0,0]")]),
      ("b.txt", STANDIN1[:STANDIN1.index(b"#[1,0,0]")])], 1, keys("[1,0,0]", "[2,2,4]"),
     {"[0,2,4]": ["0 6 -825307442"] * 2, "[1,0,0]": ["missing", "missing"]}),
    ("an empty file is a report cut before its first line",
     [("empty.txt", b""), ("whole.txt", STANDIN2)], 1, set(VARNEK2_ROWS),
     {"type": ["missing", "14"]}),
    ("no line end after the last line: it may be cut",
     [("a.txt", STANDIN2), ("b.txt", STANDIN2[:-2])], 1, {"lcs2.lcsFilename"}, {}),
    ("a CR without its LF ends the last line",
     [("a.txt", STANDIN2), ("b.txt", STANDIN2[:-1])], 0, set(), {}),
    ("LF against CR LF, varnek1", [("crlf.txt", STANDIN1), ("lf.txt", lf(STANDIN1))], 0, set(), {}),
    ("LF against CR LF, varnek2", [("crlf.txt", STANDIN2), ("lf.txt", lf(STANDIN2))], 0, set(), {}),
    ("blank lines after the report", [("a.txt", STANDIN1), ("b.txt", STANDIN1 + b"\r\n\n")],
     0, set(), {}),
    ("raw 0xDE bytes, escaped",
     [("standin.txt", STANDIN2), ("untouched.txt", UNTOUCHED2)], 1,
     set(VARNEK2_ROWS) - {"sizeof(LOGCOLORSPACE)"},
     {"lcs1.lcsFilename": ['""', '"\\xDE{260}"'], "lcs2.lcsEndpoints": ["00000000", "DEDEDEDE"],
      "ret1, err1, lcs1.lcsSize": ["1 123456 328", "0 6 -555819298"],
      "sizeof(LOGCOLORSPACE)": ["328", "328"]}),
    ("the same raw bytes agree",
     [("one.txt", UNTOUCHED2), ("two.txt", lf(UNTOUCHED2))], 0, set(),
     {"lcs2.lcsFilename": ['"\\xDE{260}"'] * 2}),
    ("a Windows path stays readable; control bytes are escaped",
     [("a.txt", with_line(STANDIN2, 16, b"lcs1.lcsFilename: " + WINDOWS_NAME)),
      ("b.txt", with_line(STANDIN2, 16, b"lcs1.lcsFilename: \\x41\x1b[2J{12}\x7f"))],
     1, {"lcs1.lcsFilename"},
     {"lcs1.lcsFilename": ['"' + WINDOWS_NAME.decode() + '"', '"\\x5Cx41\\x1B[2J\\x7B12}\\x7F"']}),
]

# Files that stop the comparison: (what, files, text stderr names, status 2).
REFUSED = [
    ("a probe's output under run-probes' title",
     [("a.txt", STANDIN1), ("titled.txt", b"== varnek1 (stand-in GDI) ==\r\n" + STANDIN1)],
     "titled.txt: line 1: "),
    ("binary noise", [("a.txt", STANDIN1), ("noise.bin", bytes(range(256)) * 8)],
     "noise.bin: line 1: "),
    ("a line that makes no sense in the middle",
     [("a.txt", STANDIN1), ("odd.txt", with_line(STANDIN1, 50, b"--"))], "odd.txt: line 50: "),
    ("a header with the wrong labels",
     [("a.txt", STANDIN1),
      ("odd.txt", STANDIN1.replace(b"#[0,1,2]:GetLogColorSpace(NULL, &log, sizeof",
                                   b"#[0,1,2]:GetLogColorSpace(NULL, NULL, sizeof"))],
     "odd.txt: line 24: "),
    ("a value that is not a number",
     [("a.txt", STANDIN2), ("odd.txt", with_line(STANDIN2, 7, b"lcs1.lcsSignature: 50534f43"))],
     "odd.txt: line 7: "),
    ("a sign where the probe prints an unsigned value",
     [("a.txt", STANDIN2), ("odd.txt", with_line(STANDIN2, 1, b"type: -14"))], "odd.txt: line 1: "),
    ("more after the last value of a line",
     [("a.txt", STANDIN2), ("odd.txt", with_line(STANDIN2, 5, b"compare:222 (bytes differ)"))],
     "odd.txt: line 5: "),
    ("text after the end of the report",
     [("a.txt", STANDIN1), ("long.txt", STANDIN1 + b"Got SEH\r\n")], "long.txt: line 137: "),
    ("a cut line that no report line begins with",
     [("a.txt", STANDIN1), ("odd.txt", STANDIN1[:STANDIN1.index(b"#[1,0,0]")] + b"#[1,0,9")],
     "odd.txt: line 48: "),
    ("varnek2 among varnek1 reports", [("a.txt", STANDIN1), ("b.txt", STANDIN2)],
     "b.txt: line 1: a varnek2 report, but a.txt is a varnek1 report"),
    ("varnek2w among varnek2 reports", [("a.txt", STANDIN2), ("w.txt", STANDIN2W)],
     "w.txt: line 2: a varnek2w report, but a.txt is a varnek2 report"),
    ("another kind after an empty first report",
     [("empty.txt", b""), ("w.txt", STANDIN2W), ("one.txt", STANDIN1)],
     "one.txt: line 1: a varnek1 report, but w.txt is a varnek2w report"),
    ("only empty files", [("a.txt", b""), ("b.txt", b"\r\n")], "a.txt: line 1: "),
    ("a file that is not there", [("a.txt", STANDIN1), ("gone.txt", None)], "gone.txt: "),
    ("a folder", [("a.txt", STANDIN1), ("folder", "folder")], "folder: "),
]

checker = Checker("varnek-compare cases")


def write_reports(folder, reports):
    paths = []
    for name, content in reports:
        path = os.path.join(folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        if content == "folder":
            os.makedirs(path)
        elif content is not None:
            with open(path, "wb") as f:
                f.write(content)
        paths.append(path)
    return paths


def table_rows(out):
    """The text table's rows: {key: (marked, cells)}; cells without the arguments column."""
    lines = out.decode("ascii").splitlines()
    head = re.split(r" {2,}", lines[1].strip())
    columns = len(head) - 1 - (head[-1] == "arguments")
    rows = {}
    for line in lines[2:-1]:
        parts = re.split(r" {2,}", line[2:].rstrip())
        rows[parts[0]] = (line.startswith("* "), parts[1:1 + columns])
    return head, rows


def run(paths, html=None):
    arguments = (["--html", html] if html else []) + paths
    return run_to_file(emulator + [program] + arguments)


def check_compared(what, reports, status, marked, cells, folder):
    html = os.path.join(folder, "page.html")
    got, out, err = run(write_reports(folder, reports), html)
    checker.check(got == status, f"{what}: exit status {got}, expected {status}; stderr {err!r}")
    checker.check(err == b"", f"{what}: stderr {err[:300]!r}")
    checker.check(all(0x20 <= b <= 0x7E or b in b"\r\n" for b in out),
                  f"{what}: stdout holds bytes that are not printable ASCII")
    if got not in (0, 1):
        return
    head, rows = table_rows(out)
    names = [os.path.splitext(name)[0] for name, _ in reports]
    checker.check(head[1:1 + len(reports)] == names, f"{what}: column heads {head}")
    is_varnek1 = any(content.startswith(b"sizeof") for _, content in reports)
    row_count, noun = (45, "case") if is_varnek1 else (25, "line")
    checker.check(len(rows) == row_count, f"{what}: {len(rows)} rows, expected {row_count}")
    got_marked = {key for key, (mark, _) in rows.items() if mark}
    checker.check(got_marked == marked,
                  f"{what}: marked {sorted(got_marked)}, expected {sorted(marked)}")
    agreeing = row_count - len(marked)
    summary = out.decode("ascii").splitlines()[-1]
    expected_summary = (f"{agreeing} {noun} agrees" if agreeing == 1 else f"{agreeing} {noun}s agree") \
        + (", 1 differs" if len(marked) == 1 else f", {len(marked)} differ")
    checker.check(summary.startswith(expected_summary),
                  f"{what}: summary {summary!r}, expected {expected_summary!r}...")
    for key, expected_cells in cells.items():
        checker.check(key in rows and rows[key][1] == expected_cells,
                      f"{what}: row {key} shows {rows.get(key)}, expected {expected_cells}")
    with open(html, "rb") as f:
        page = f.read()
    checker.check(all(b < 0x80 for b in page), f"{what}: the page holds bytes above 0x7F")
    lowered = page.lower()
    for outside in (b"<script", b"src=", b"href=", b"url(", b"@import", b"<link"):
        checker.check(outside not in lowered, f"{what}: the page holds {outside!r}")
    highlighted = page.count(b'<tr class="differ">')
    checker.check(highlighted == len(marked),
                  f"{what}: {highlighted} rows highlighted, expected {len(marked)}")


def check_refused(what, reports, message, folder):
    html = os.path.join(folder, "page.html")
    got, out, err = run(write_reports(folder, reports), html)
    checker.check(got == 2, f"{what}: exit status {got}, expected 2")
    checker.check(out == b"", f"{what}: stdout holds {out[:200]!r}")
    checker.check(not os.path.exists(html), f"{what}: the HTML page was written")
    checker.check(all(0x20 <= b <= 0x7E or b in b"\r\n" for b in err),
                  f"{what}: stderr holds bytes that are not printable ASCII: {err!r}")
    lines = err.decode("ascii", "replace").replace(folder + os.sep, "").splitlines()
    checker.check(len(lines) == 1 and message in lines[0],
                  f"{what}: stderr {err!r}, expected one line holding {message!r}")


def check_bad_use(folder):
    report = write_reports(folder, [("a.txt", STANDIN1)])[0]
    for what, arguments in (("one report", [report]), ("no report", []),
                            ("an unknown option", ["--colour", report, report]),
                            ("--html without a file", [report, report, "--html"]),
                            ("--html twice", ["--html", "x.html", "--html", "y.html", report, report])):
        got, out, err = run_to_file(emulator + [program] + arguments)
        checker.check(got == 2 and out == b"" and err.startswith(b"varnek-compare: ")
                      and b"usage: varnek-compare" in err,
                      f"bad use, {what}: status {got}, stdout {out[:100]!r}, stderr {err[:200]!r}")
    got, out, _ = run_to_file(emulator + [program] + ["--", report, report])
    checker.check(got == 0 and out.startswith(b"varnek1:"), f"'--' before the reports: status {got}")


def check_unwritable_page(folder):
    """A page that cannot be written: status 2, one line on stderr, no table."""
    paths = write_reports(folder, [("a.txt", STANDIN1), ("b.txt", STANDIN1)])
    targets = [os.path.join(folder, "no-such-folder", "page.html")]
    if not emulator and os.path.exists("/dev/full"):
        targets.append("/dev/full")  # opens, then every write fails
    for target in targets:
        got, out, err = run(paths, target)
        checker.check(got == 2 and out == b"" and err.count(b"\n") == 1
                      and target.encode() + b": cannot write the HTML page" in err,
                      f"--html {target}: status {got}, stdout {out[:100]!r}, stderr {err!r}")
    if len(targets) > 1:
        checker.check(os.path.exists("/dev/full") and not os.path.isfile("/dev/full"),
                      "/dev/full is gone or became a regular file")


def check_names(folder):
    """Column heads: file names without folders and extension; a shared name numbered."""
    paths = write_reports(folder, [("one/report.txt", STANDIN1), ("two/report.txt", STANDIN1),
                                   ("three/x.y.log", STANDIN1), ("noext", STANDIN1)])
    got, out, _ = run(paths)
    head, _ = table_rows(out)
    checker.check(got == 0 and head[1:-1] == ["report", "report (2)", "x.y", "noext"],
                  f"names from paths: status {got}, heads {head}")


def check_probes(folder):
    """Each probe's own report, from this build, agrees with itself."""
    for probe in options.probe:
        path = os.path.join(folder, os.path.basename(probe) + ".txt")
        status, report, _ = run_to_file(emulator + [probe])
        checker.check(status == 0, f"{probe}: exit status {status}")
        with open(path, "wb") as f:
            f.write(report)
        got, out, err = run([path, path])
        checker.check(got == 0 and err == b"" and b" 0 differ." in out,
                      f"{probe}'s report against itself: status {got}, stderr {err!r}, "
                      f"summary {out.splitlines()[-1:]!r}")


def fresh(root, n):
    folder = os.path.join(root, f"case{n}")
    os.makedirs(folder)
    return folder


root = tempfile.mkdtemp(prefix="varnek-compare-")
try:
    for n, case in enumerate(COMPARED):
        check_compared(*case, fresh(root, n))
    for n, case in enumerate(REFUSED):
        check_refused(*case, fresh(root, len(COMPARED) + n))
    check_bad_use(fresh(root, 1000))
    check_names(fresh(root, 1002))
    check_unwritable_page(fresh(root, 1003))
    check_probes(fresh(root, 1001))
finally:
    shutil.rmtree(root)
checker.finish()
