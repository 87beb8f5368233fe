#!/usr/bin/env bash
# Runs clang-tidy 14 (.clang-tidy) over every C++ source of ours, with the
# compile commands of the builds that compile it: every source of the native
# build (preset default) and, where the configure preset exists, of the Windows
# cross build mingw-clang, so that the probes are checked against our
# declarations and against the SDK's; then any source still unchecked with the
# first other configure preset that compiles it (mingw-gcc, for instance, for
# sources only GCC builds). Fails on any finding, and on any source that no
# build compiles, so none goes unchecked; while there is no mingw-clang preset,
# the Windows-only sources (*-win32*.cc) are named as not checked instead.
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

mapfile -t pending < <(git ls-files --cached --others --exclude-standard '*.cc' |
                       sed "s|^|${root}/|")
log="$(mktemp)"
trap 'rm -f "${log}"' EXIT
failed=0

# Checks the given sources with a build's compile commands.
check_with() {
  local build="$1"
  shift
  [ "$#" -gt 0 ] || return 0
  echo "check-tidy: $# sources with ${build#"${root}"/}/compile_commands.json"
  local status=0
  printf '%s\0' "$@" | xargs -0 -n1 -P2 "${clang_tidy}" --quiet -p "${build}" >"${log}" 2>&1 ||
    status=$?
  grep -v -E '^[0-9]+ (warnings?|errors?)( and [0-9]+ errors?)? (generated|treated as errors)\.$' \
    "${log}" || true
  [ "${status}" -eq 0 ] || failed=1
  # What is checked is no longer pending.
  local checked
  checked="$(printf '%s\n' "$@")"
  mapfile -t pending < <(printf '%s\n' "${pending[@]}" | grep -vxF "${checked}" || true)
}

# Every source of a build, or only those still pending.
check_build() {
  local build files
  build="$(configure "$1")"
  mapfile -t files < <(sources_of "${build}")
  if [ "$2" = "pending" ]; then
    mapfile -t files < <(printf '%s\n' "${files[@]}" | grep -xF "$(printf '%s\n' "${pending[@]}")" || true)
  fi
  check_with "${build}" "${files[@]}"
}

mapfile -t presets < <(cmake --list-presets=configure | sed -n 's/^ *"\([^"]*\)".*/\1/p')
has_preset() { printf '%s\n' "${presets[@]}" | grep -qxF "$1"; }

check_build default all
windows_build=0
if has_preset mingw-clang; then
  check_build mingw-clang all
  windows_build=1
fi
for preset in "${presets[@]}"; do
  [ "$(printf '%s' "${pending[@]}")" != "" ] || break
  case "${preset}" in default | mingw-clang | asan) continue ;; esac
  check_build "${preset}" pending
done

unchecked=()
windows_only=()
for source in "${pending[@]}"; do
  [ -n "${source}" ] || continue
  if [ "${windows_build}" -eq 0 ] && [[ "${source}" == *-win32*.cc ]]; then
    windows_only+=("${source#"${root}"/}")
  else
    unchecked+=("${source#"${root}"/}")
  fi
done
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
