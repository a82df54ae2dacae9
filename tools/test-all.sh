#!/usr/bin/env bash
# Every test of the project, from a fresh machine: installs what is missing,
# runs the Linux unit tests (sanitizers on), builds the Windows program and
# runs the Windows-side and end-to-end tests under Wine, then the fuzzers
# briefly. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."

FUZZ_SECONDS="${FUZZ_SECONDS:-30}"

bash tools/install-deps.sh

echo "== Linux unit tests (ASan + UBSan)"
cmake --preset linux >/dev/null
cmake --build --preset linux -j2
ctest --preset linux -j2 --output-on-failure

echo "== Windows build (x86_64) and tests under Wine"
cmake --preset mingw64 >/dev/null
cmake --build --preset mingw64 -j2
ctest --preset mingw64 --output-on-failure

echo "== Windows build (i686, compile only)"
cmake --preset mingw32 >/dev/null
cmake --build --preset mingw32 -j2

echo "== DLLs imported by Quillmark.exe (x86_64, i686)"
/usr/bin/python3 -B tests/windows/check_imports.py build/mingw64/Quillmark.exe build/mingw32/Quillmark.exe

if [ -x fuzz/run.sh ]; then
  echo "== Fuzzers, ${FUZZ_SECONDS} s each"
  fuzz/run.sh "$FUZZ_SECONDS"
fi

echo "== clang-format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
echo "all tests passed"
