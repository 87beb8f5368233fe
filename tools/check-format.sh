#!/usr/bin/env bash
# Checks that every C++ source of ours (every tracked *.cc and *.h) is formatted
# by .clang-format with clang-format 14, the version Debian 12 ships and CI
# installs; another version formats differently, so it is refused.
# With --fix, formats the sources in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."

clang_format=clang-format-14
version="$(${clang_format} --version 2>/dev/null || true)"
if ! grep -q 'clang-format version 14\.' <<<"${version}"; then
  echo "check-format: need clang-format 14 as ${clang_format}, found: ${version:-none}" >&2
  exit 1
fi

# Tracked sources and new ones not yet added (ignored files left out).
mapfile -t sources < <(git ls-files --cached --others --exclude-standard '*.cc' '*.h')
if [ "${1:-}" = "--fix" ]; then
  ${clang_format} -i "${sources[@]}"
  exit 0
fi

unformatted=()
for source in "${sources[@]}"; do
  if ! ${clang_format} "${source}" | cmp -s - "${source}"; then
    unformatted+=("${source}")
    ${clang_format} "${source}" | diff -u "${source}" - | sed 's/^/  /' || true
  fi
done
if [ "${#unformatted[@]}" -gt 0 ]; then
  echo "check-format: not formatted by .clang-format: ${unformatted[*]}" >&2
  echo "check-format: run tools/check-format.sh --fix" >&2
  exit 1
fi
echo "check-format: ${#sources[@]} sources formatted (${version})"
