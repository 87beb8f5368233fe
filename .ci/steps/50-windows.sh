#!/usr/bin/env bash
# The Windows builds, after the native one: each preset's workflow cross-builds
# the programs, tests them under Wine and packages them. mingw-clang runs last,
# since it checks its reports against the mingw-gcc build's.
set -euo pipefail
cd "$(dirname "$0")/../.."

for preset in mingw-gcc mingw-gcc-x86 mingw-clang; do
  echo "== cmake --workflow --preset ${preset}"
  cmake --workflow --preset "${preset}"
done
ls -l build/mingw-*/package/*.zip
