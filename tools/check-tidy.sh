#!/usr/bin/env bash
# Runs clang-tidy 14 (.clang-tidy) over every C++ source of ours, each with the
# compile commands of the builds that compile it: the native build (preset
# default) and, where the configure preset exists, the Windows cross build
# (preset mingw-clang), so that Windows-only sources are checked too and the
# probes are checked against the SDK's declarations as well as ours. Fails on
# any finding, and on any source that no build compiles (so none goes
# unchecked); while there is no mingw-clang preset, the Windows-only sources
# (*-win32.cc) are named as not checked instead.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd -P)"

clang_tidy=clang-tidy-14
version="$(${clang_tidy} --version 2>/dev/null || true)"
if ! grep -q 'LLVM version 14\.' <<<"${version}"; then
  echo "check-tidy: need clang-tidy 14 as ${clang_tidy}, found: ${version:-none}" >&2
  exit 1
fi

# Configures a preset and prints its build directory.
configure() {
  cmake --preset "$1" | sed -n 's/^-- Build files have been written to: //p'
}

builds=("$(configure default)")
windows_build=0
if cmake --list-presets=configure | grep -q '^ *"mingw-clang"'; then
  builds+=("$(configure mingw-clang)")
  windows_build=1
fi

# The sources of ours that a build's compile commands hold, one a line.
sources_of() {
  python3 - "$1/compile_commands.json" "${root}" <<'PY'
import json, os, sys
commands, root = sys.argv[1], sys.argv[2]
files = set()
for entry in json.load(open(commands)):
    path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
    if path.startswith(root + "/") and not path.startswith(root + "/build/"):
        files.add(path)
print("\n".join(sorted(files)))
PY
}

log="$(mktemp)"
trap 'rm -f "${log}"' EXIT
failed=0
checked=()
for build in "${builds[@]}"; do
  mapfile -t files < <(sources_of "${build}")
  checked+=("${files[@]}")
  echo "check-tidy: ${#files[@]} sources with ${build#"${root}"/}/compile_commands.json"
  status=0
  printf '%s\0' "${files[@]}" |
    xargs -0 -n1 -P2 "${clang_tidy}" --quiet -p "${build}" >"${log}" 2>&1 || status=$?
  grep -v -E '^[0-9]+ (warnings?|errors?)( and [0-9]+ errors?)? (generated|treated as errors)\.$' "${log}" || true
  [ "${status}" -eq 0 ] || failed=1
done

# Every source of ours must have been checked by at least one build; without
# the Windows build, the Windows-only sources (*-win32.cc) are only named.
unchecked=()
windows_only=()
while read -r source; do
  printf '%s\n' "${checked[@]}" | grep -qxF "${root}/${source}" && continue
  if [ "${windows_build}" -eq 0 ] && [[ "${source}" == *-win32.cc ]]; then
    windows_only+=("${source}")
  else
    unchecked+=("${source}")
  fi
done < <(git ls-files --cached --others --exclude-standard '*.cc')
if [ "${#windows_only[@]}" -gt 0 ]; then
  echo "check-tidy: no configure preset mingw-clang, so not checked: ${windows_only[*]}"
fi
if [ "${#unchecked[@]}" -gt 0 ]; then
  echo "check-tidy: compiled by no build, so not checked: ${unchecked[*]}" >&2
  failed=1
fi

if [ "${failed}" -ne 0 ]; then
  echo "check-tidy: findings above (${version%%$'\n'*})" >&2
  exit 1
fi
echo "check-tidy: no findings"
