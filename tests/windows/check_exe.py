"""Checks what a Windows program is as a file: the DLLs it imports (exactly
the allowed ones: nothing from libgcc, libstdc++ or libwinpthread DLLs), the
subsystem version it asks for, and its version resource.

usage: check_exe.py --dump TOOL --dlls A.dll,B.dll --subsystem MAJOR.MINOR
                    --version X.Y.Z PROGRAM.exe
       check_exe.py --dump TOOL --dlls A.dll,B.dll --every DIRECTORY
The second form checks only that every .exe in DIRECTORY (the tools and test
programs beside the probes too) imports from none but those DLLs.
TOOL is objdump (GNU or LLVM: "objdump -p") or dumpbin ("dumpbin /headers /imports")."""
import argparse
import os
import re
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import Checker  # noqa: E402


def dump(tool, program):
    """The DLLs the program imports from, and its subsystem version as "MAJOR.MINOR"."""
    if os.path.basename(tool).lower().startswith("dumpbin"):
        output = subprocess.run([tool, "/headers", "/imports", program], capture_output=True,
                                text=True, check=True).stdout
        dlls = re.findall(r"^\s{4}(\S+\.dll)\s*$", output, re.MULTILINE | re.IGNORECASE)
        found = re.search(r"(\d+)\.(\d+) subsystem version", output)
    else:
        output = subprocess.run([tool, "-p", program], capture_output=True, text=True,
                                check=True).stdout
        dlls = re.findall(r"DLL Name: (\S+)", output)
        found = re.search(r"MajorSubsystemVersion\s+(\d+)\s+MinorSubsystemVersion\s+(\d+)", output)
    return dlls, found and f"{int(found.group(1))}.{int(found.group(2))}"


def version_resource(image):
    """The file and product versions of VS_FIXEDFILEINFO, and the string
    table's ProductVersion, or None where the program has none."""
    at = image.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        return None
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<4I", image, at + 8)
    dotted = lambda ms, ls: f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
    key = "ProductVersion".encode("utf-16-le")
    strings = image.find(key)
    product_string = None
    if strings >= 0:
        start = strings + len(key)
        while image[start:start + 2] == b"\0\0":  # the key's NUL and alignment
            start += 2
        end = image.find(b"\0\0", start)
        end += (end - start) % 2
        product_string = image[start:end].decode("utf-16-le")
    return dotted(file_ms, file_ls), dotted(product_ms, product_ls), product_string


def check_program(checker, program, dump_tool, dlls, subsystem, version):
    """Adds to checker what is wrong with the program file."""
    name = os.path.basename(program)
    found_dlls, found_subsystem = dump(dump_tool, program)
    allowed = sorted(dlls.lower().split(","))
    checker.check(sorted(dll.lower() for dll in found_dlls) == allowed,
                  f"{name} imports from {found_dlls}, expected exactly {allowed}")
    checker.check(found_subsystem == subsystem,
                  f"{name}: subsystem version {found_subsystem}, expected {subsystem}")
    with open(program, "rb") as f:
        resource = version_resource(f.read())
    four_part = version + ".0"
    checker.check(resource == (four_part, four_part, version),
                  f"{name}: version resource {resource}, expected {(four_part, four_part, version)}")


def add_program_options(parser):
    parser.add_argument("--dump", required=True)
    parser.add_argument("--dlls", required=True)
    parser.add_argument("--subsystem", required=True)
    parser.add_argument("--version", required=True)


def check_every(checker, directory, dump_tool, dlls):
    allowed = set(dlls.lower().split(","))
    programs = sorted(name for name in os.listdir(directory) if name.endswith(".exe"))
    checker.check(programs, f"no programs in {directory}")
    for name in programs:
        found, _ = dump(dump_tool, os.path.join(directory, name))
        checker.check({dll.lower() for dll in found} <= allowed,
                      f"{name} imports from {found}, beyond {sorted(allowed)}")


if __name__ == "__main__":
    arguments = argparse.ArgumentParser()
    arguments.add_argument("--every", metavar="DIRECTORY")
    arguments.add_argument("--dump", required=True)
    arguments.add_argument("--dlls", required=True)
    arguments.add_argument("--subsystem")
    arguments.add_argument("--version")
    arguments.add_argument("program", nargs="?")
    options = arguments.parse_args()
    if options.every:
        checker = Checker(f"every program in {options.every}")
        check_every(checker, options.every, options.dump, options.dlls)
    else:
        checker = Checker(os.path.basename(options.program))
        check_program(checker, options.program, options.dump, options.dlls, options.subsystem,
                      options.version)
    checker.finish()
