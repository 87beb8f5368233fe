#!/usr/bin/env bash
# Quality gates, each with zero findings: formatting, static analysis, the
# whole suite under ASan and UBSan, every probe under valgrind memcheck, and a
# smoke run of the cost benchmark (instruction counts, peak memory and write
# calls against its targets; nothing is timed).
set -euo pipefail
cd "$(dirname "$0")/../.."

echo "-- clang-format"
tools/check-format.sh

echo "-- clang-tidy"
tools/check-tidy.sh

echo "-- ASan and UBSan: cmake --workflow --preset asan"
cmake --workflow --preset asan

echo "-- valgrind memcheck: ctest -L memcheck"
cmake --preset default >/dev/null
cmake --build --preset default
ctest --test-dir build/default -L memcheck --no-tests=error --output-on-failure -j2

echo "-- benchmark: cmake --build --preset default --target bench"
cmake --build --preset default --target bench
