"""The cost benchmark: each native probe beside its floor, a plain program
that makes the same printf calls with the same values through a 512-byte
stdio buffer (unbuffered on a terminal), with the report going to /dev/null,
to a file, to a pipe and to a pseudo-terminal.

For each probe and output it prints the ratio probe / floor of the
instructions the whole process executes (valgrind --tool=callgrind) and of
its peak resident memory (/usr/bin/time -v, the median of 5 runs), and the probe's write calls
(strace) against the least number the stream allows: to a terminal one for
each line, elsewhere one for each full 512-byte buffer and one for the rest.
Targets: instructions at most 1.25 times the floor's, peak memory at most
1.10 times, writes equal to the least number. Exits 1 when a target is
missed or a floor's report is not the probe's.

usage: bench.py BIN_DIR"""
import os
import platform
import pty
import re
import statistics
import subprocess
import sys
import tempfile
import threading
import tty

PROBES = ("varnek1", "varnek2", "varnek2w")
OUTPUTS = ("null", "file", "pipe", "terminal")
STREAM_BUFFER = 512
INSTRUCTION_TARGET = 1.25
MEMORY_TARGET = 1.10
MEMORY_RUNS = 5


def run(command, output):
    """Runs command with stdout to the given kind of output; returns what it wrote
    (nothing for /dev/null) and fails loudly on a non-zero exit status."""
    if output == "null":
        with open(os.devnull, "wb") as sink:
            done = subprocess.run(command, stdout=sink, stdin=subprocess.DEVNULL, check=False)
        written = b""
    elif output == "file":
        with tempfile.TemporaryFile() as sink:
            done = subprocess.run(command, stdout=sink, stdin=subprocess.DEVNULL, check=False)
            sink.seek(0)
            written = sink.read()
    elif output == "pipe":
        done = subprocess.run(command, stdout=subprocess.PIPE, stdin=subprocess.DEVNULL,
                              check=False)
        written = done.stdout
    else:
        done, written = run_on_terminal(command)
    if done.returncode != 0:
        sys.exit(f"bench: {' '.join(command)} to {output} ended with status {done.returncode}")
    return written


def run_on_terminal(command):
    """Runs command with stdout on a new pseudo-terminal in raw mode, draining it."""
    master, slave = pty.openpty()
    tty.setraw(slave)
    chunks = []

    def drain():
        while True:
            try:
                chunk = os.read(master, 65536)
            except OSError:  # EIO once the last writer has gone
                return
            if not chunk:
                return
            chunks.append(chunk)

    reader = threading.Thread(target=drain)
    reader.start()
    try:
        done = subprocess.run(command, stdout=slave, stdin=subprocess.DEVNULL, check=False)
    finally:
        os.close(slave)
        reader.join()
        os.close(master)
    return done, b"".join(chunks)


def tool_log(tool, program, output):
    """Runs program under tool (a command holding {log}) and returns the tool's log."""
    handle, log_path = tempfile.mkstemp(suffix=".log")
    os.close(handle)
    try:
        run([part.replace("{log}", log_path) for part in tool] + [program], output)
        with open(log_path, encoding="utf-8", errors="replace") as log:
            return log.read()
    finally:
        os.remove(log_path)


def instructions(program, output):
    log = tool_log(["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null",
                    "--log-file={log}"], program, output)
    return int(re.search(r"Collected : (\d+)", log).group(1))


def peak_memory_kib(program, output):
    """The median of a few runs: the peak moves by a page or two from run to run."""
    peaks = []
    for _ in range(MEMORY_RUNS):
        log = tool_log(["/usr/bin/time", "-v", "-o", "{log}"], program, output)
        peaks.append(int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", log).group(1)))
    return statistics.median_low(peaks)


def write_calls(program, output):
    """Every call that writes, to any descriptor."""
    log = tool_log(["strace", "-f", "-qq", "-e", "trace=write,writev,pwrite64,pwritev",
                    "-o", "{log}"], program, output)
    return len(re.findall(r"^(?:\d+ +)?p?writev?(?:64)?\(", log, re.M))


def least_writes(report, output):
    if output == "terminal":
        return report.count(b"\n")
    return -(-len(report) // STREAM_BUFFER)


def machine():
    model = "unknown processor"
    with open("/proc/cpuinfo", encoding="utf-8") as info:
        for line in info:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    with open("/proc/meminfo", encoding="utf-8") as info:
        memory_kib = int(info.readline().split()[1])
    return (f"{model}, {os.cpu_count()} cores, {memory_kib / 1024 / 1024:.0f} GiB, "
            f"{platform.system()} {platform.release()}")


def build_facts(bin_dir):
    cache = {}
    with open(os.path.join(bin_dir, os.pardir, "CMakeCache.txt"), encoding="utf-8") as f:
        for line in f:
            found = re.match(r"(CMAKE_CXX_COMPILER|CMAKE_BUILD_TYPE):\w+=(.*)", line)
            if found:
                cache[found.group(1)] = found.group(2).strip()
    version = subprocess.run([cache["CMAKE_CXX_COMPILER"], "--version"], capture_output=True,
                             text=True, check=True).stdout.splitlines()[0]
    return f"{version}, {cache.get('CMAKE_BUILD_TYPE') or 'no build type'}"


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    bin_dir = sys.argv[1]
    print(f"machine: {machine()}")
    print(f"compiler: {build_facts(bin_dir)}")
    print(f"tools: valgrind --tool=callgrind (instructions, whole process), "
          f"/usr/bin/time -v (peak RSS, median of {MEMORY_RUNS} runs), strace (write calls)")
    print(f"targets: instructions <= {INSTRUCTION_TARGET:.2f} x floor, "
          f"peak RSS <= {MEMORY_TARGET:.2f} x floor, writes = least")
    print()
    header = (f"{'probe':9} {'output':8} {'instructions':>12} {'floor':>10} {'ratio':>6}  "
              f"{'RSS KiB':>7} {'floor':>6} {'ratio':>6}  {'writes':>6} {'least':>5} {'floor':>5}")
    print(header)
    print("-" * len(header))
    missed = []
    for probe in PROBES:
        program = os.path.join(bin_dir, probe)
        floor = os.path.join(bin_dir, f"floor-{probe}")
        report = run([program], "file")
        if run([floor], "file") != report:
            missed.append(f"{probe}: the floor's report is not the probe's")
        for output in OUTPUTS:
            probe_instructions = instructions(program, output)
            floor_instructions = instructions(floor, output)
            probe_memory = peak_memory_kib(program, output)
            floor_memory = peak_memory_kib(floor, output)
            probe_writes = write_calls(program, output)
            floor_writes = write_calls(floor, output)
            least = least_writes(report, output)
            instruction_ratio = probe_instructions / floor_instructions
            memory_ratio = probe_memory / floor_memory
            marks = []
            if instruction_ratio > INSTRUCTION_TARGET:
                marks.append("instructions")
            if memory_ratio > MEMORY_TARGET:
                marks.append("memory")
            if probe_writes != least:
                marks.append("writes")
            print(f"{probe:9} {output:8} {probe_instructions:12,} {floor_instructions:10,} "
                  f"{instruction_ratio:6.3f}  {probe_memory:7} {floor_memory:6} "
                  f"{memory_ratio:6.3f}  {probe_writes:6} {least:5} {floor_writes:5}"
                  f"{'  MISSED: ' + ', '.join(marks) if marks else ''}")
            missed += [f"{probe} to {output}: {mark}" for mark in marks]
    print()
    if missed:
        print("targets missed:\n  " + "\n  ".join(missed))
        sys.exit(1)
    print("all targets met")


if __name__ == "__main__":
    main()
