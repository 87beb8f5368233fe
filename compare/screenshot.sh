#!/usr/bin/env bash
# Remakes docs/compare.png, the README's picture of varnek-compare's page: the
# stand-in's varnek1 report beside two variants made from it (the test fixture
# with five answers edited, and the report cut off at 4096 bytes, as when a run
# dies with its last buffers unwritten).
# usage: compare/screenshot.sh [BUILD_DIR]   (default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
compare="${1:-build/default}/bin/varnek-compare"
work="$(mktemp -d)"
trap 'rm -rf "${work}"' EXIT

cp tests/expected/varnek1-standin.txt "${work}/standin.txt"
cp tests/fixtures/compare/varnek1-guarded.txt "${work}/guarded.txt"
head -c 4096 tests/expected/varnek1-standin.txt > "${work}/cut-short.txt"
status=0
"${compare}" --html "${work}/page.html" \
  "${work}/standin.txt" "${work}/guarded.txt" "${work}/cut-short.txt" > /dev/null || status=$?
[ "${status}" -eq 1 ] || { echo "varnek-compare: exit status ${status}, expected 1" >&2; exit 1; }

chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="${work}/chromium" --hide-scrollbars --window-size=1120,1236 \
  --screenshot="${PWD}/docs/compare.png" "file://${work}/page.html" 2> /dev/null
echo "wrote docs/compare.png"
