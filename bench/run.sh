#!/usr/bin/env bash
# Performance figures of Quillmark, printed as a table: the overhead of a
# press and the start-up time under Wine, the program's size, imports and
# memory, and the pure work of a press (Google Benchmark). Builds what it
# needs first. Not a test: slow figures never fail it; it exits non-zero only
# when something cannot be built or measured.
#
#   bench/run.sh                 (PRESSES=10 STARTS=10 BIG_PRESSES=5 DELETE_PRESSES=5 by default)
#
# Its Wine prefix and scratch files are build/bench-wine/ (the prefix is made
# on the first run, which takes longer); the table is also left in
# build/bench-wine/report.md.
set -euo pipefail
cd "$(dirname "$0")/.."

PRESSES="${PRESSES:-10}"
STARTS="${STARTS:-10}"
BIG_PRESSES="${BIG_PRESSES:-5}"
DELETE_PRESSES="${DELETE_PRESSES:-5}"
out=build/bench-wine
python=/usr/bin/python3 # python3-pefile is importable only from Debian's own Python

bash tools/install-deps.sh
# Google Benchmark for the pure work of a press.
if ! dpkg-query -W -f='${Status}' libbenchmark-dev 2>/dev/null | grep -q 'install ok installed'; then
    echo "bench: installing libbenchmark-dev"
    sudo_cmd=()
    if ((EUID != 0)); then
        sudo_cmd=(sudo)
    fi
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q libbenchmark-dev
fi

mkdir -p "$out"
echo "== building (mingw64 and bench presets; logs in $out)"
{
    cmake --preset mingw64
    cmake --build --preset mingw64 -j2 --target Quillmark standin quillmark_driver e2e_target_plain e2e_target_versioned e2e_target_versioned_en \
        bench_minimal_window bench_minimal_window_same_dlls bench_minimal_window_same_controls bench_startup_probe
} >"$out/build-mingw64.log" 2>&1 || {
    tail -n 30 "$out/build-mingw64.log" >&2
    exit 1
}
{
    cmake --preset bench
    cmake --build --preset bench -j2 --target quillmark_bench
} >"$out/build-bench.log" 2>&1 || {
    tail -n 30 "$out/build-bench.log" >&2
    exit 1
}

echo "== pure work of a press (Google Benchmark)"
build/bench/quillmark_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_out="$out/gbench.json" --benchmark_out_format=json >"$out/gbench.txt" 2>&1 || {
    cat "$out/gbench.txt" >&2
    exit 1
}

echo "== under Wine: $PRESSES presses, $STARTS starts of each program"
"$python" bench/wine_bench.py --build build/mingw64 --work "$out/work" --prefix "$PWD/$out/wineprefix" \
    --out "$out/wine.json" --presses "$PRESSES" --starts "$STARTS" --big-presses "$BIG_PRESSES" \
    --delete-presses "$DELETE_PRESSES"

echo
"$python" bench/report.py --wine "$out/wine.json" --gbench "$out/gbench.json" --exe build/mingw64/Quillmark.exe \
    --objdump x86_64-w64-mingw32-objdump | tee "$out/report.md"
