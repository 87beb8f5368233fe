"""Writes THIRD-PARTY-NOTICES.txt for a Windows package: the notices of the
toolchain's runtime parts that are linked into the programs, taken from the
toolchain's own copyright files (Debian's, for MinGW-w64).

A MinGW-w64 build links in the MinGW-w64 runtime's startup code and support
library (crt2.o, libmingw32, libmingwex, the msvcrt.dll import library) and
GCC's libgcc (with crtbegin.o and crtend.o); an MSVC build only Microsoft's
static C runtime, which needs no notice.

usage: notices.py OUTPUT mingw MINGW_W64_COPYRIGHT GCC_COPYRIGHT  ("missing" when not found)
       notices.py OUTPUT msvc"""
import sys


def paragraphs(text):
    return [p for p in text.split("\n\n") if p.strip()]


def mingw_runtime(copyright_text):
    """The DEP-5 paragraphs of the runtime: the default licence (Files: *),
    the startup code's (Files: mingw-w64-crt/crt/*) and the text of the
    licence that paragraph names."""
    wanted = []
    for paragraph in paragraphs(copyright_text):
        if paragraph.startswith("Files: *\n") or paragraph.startswith("Files: mingw-w64-crt/crt/*"):
            wanted.append(paragraph)
    crt_licence = wanted[-1].rsplit("License: ", 1)[1].split("\n")[0]
    wanted += [p for p in paragraphs(copyright_text) if p.startswith(f"License: {crt_licence}\n")]
    return "\n\n".join(wanted)


def gcc_runtime(copyright_text):
    """GCC's copyright statement through the end of the GCC Runtime Library
    Exception, under which libgcc is linked in."""
    start = copyright_text.index("GCC is Copyright (C)")
    end = copyright_text.index("requirements of the license of GCC.") + len("requirements of the license of GCC.")
    return copyright_text[start:end]


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


output, kind = sys.argv[1], sys.argv[2]
if kind == "mingw" and "missing" in sys.argv[3:5]:
    text = ("Third-party notices\n"
            "===================\n\n"
            "The programs contain parts of the MinGW-w64 runtime and of GCC's libgcc,\n"
            "linked in statically, whose notices were not found where this package was\n"
            "made. They are those of the MinGW-w64 project (ZPL 2.1 and public domain)\n"
            "and of GCC (GPL 3 or later with the GCC Runtime Library Exception 3.1).\n")
elif kind == "mingw":
    text = ("Third-party notices\n"
            "===================\n\n"
            "The programs contain parts of the MinGW-w64 runtime (its startup code and\n"
            "support library) and of GCC's runtime library libgcc, linked in statically.\n"
            "Their notices follow, as the toolchain's distribution records them.\n\n\n"
            "MinGW-w64 runtime\n"
            "-----------------\n\n"
            + mingw_runtime(read(sys.argv[3])) +
            "\n\n\nGCC runtime library (libgcc)\n"
            "----------------------------\n\n"
            "libgcc is licensed under the GNU General Public License, version 3 or later,\n"
            "with version 3.1 of the GCC Runtime Library Exception, which permits\n"
            "distributing programs that link it in under terms of their own.\n\n"
            + gcc_runtime(read(sys.argv[4])) + "\n")
else:
    text = ("Third-party notices\n"
            "===================\n\n"
            "The programs link Microsoft's static C runtime (/MT) only, which needs no\n"
            "notice.\n")
with open(output, "w", encoding="utf-8", newline="\r\n") as f:
    f.write(text)
