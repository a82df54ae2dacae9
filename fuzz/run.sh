#!/usr/bin/env bash
# Builds every fuzz/*Fuzz.cpp with clang++ and libFuzzer into build/fuzz and
# runs each for the given seconds (default 60) on its seed corpus
# fuzz/corpus/<Target>/. A target names the project sources it needs on a
# line "// fuzz-sources: a.cpp b.cpp" near its top.
#
#   fuzz/run.sh [seconds-per-target] [target-name...]
#
# New inputs go to build/fuzz/corpus/<Target>/ (the seeds stay as they are),
# crashes to build/fuzz/artifacts/<Target>/, the log to build/fuzz/<Target>.log.
set -euo pipefail

seconds="${1:-60}"
shift || true
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build/fuzz"

# clang 14 and its libFuzzer runtime, installed only when missing.
if ! command -v clang++ >/dev/null 2>&1 || ! dpkg -s libclang-rt-14-dev >/dev/null 2>&1; then
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo apt-get update
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends clang libclang-rt-14-dev
fi

targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
    for source in "$root"/fuzz/*Fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi

mkdir -p "$out"
status=0
for target in "${targets[@]}"; do
    source="$root/fuzz/$target.cpp"
    read -r -a extra <<<"$(sed -n 's#^// fuzz-sources:##p' "$source" | tr '\n' ' ')"
    sources=("$source")
    for file in "${extra[@]}"; do sources+=("$root/$file"); done

    echo "== $target: building"
    clang++ -std=c++20 -g -O1 -I"$root" \
        -Wall -Wextra -Wpedantic -Wshadow -Werror \
        -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer \
        "${sources[@]}" -o "$out/$target"

    seeds="$root/fuzz/corpus/$target"
    mkdir -p "$out/corpus/$target" "$out/artifacts/$target" "$seeds"
    echo "== $target: running ${seconds}s"
    if "$out/$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$out/artifacts/$target/" \
        "$out/corpus/$target" "$seeds" >"$out/$target.log" 2>&1; then
        echo "== $target: ok, $(grep -o 'number_of_executed_units: *[0-9]*' "$out/$target.log" | grep -o '[0-9]*$') executions"
    else
        status=1
        echo "== $target: FAILED, see $out/$target.log and $out/artifacts/$target/"
        tail -n 40 "$out/$target.log"
    fi
done
exit "$status"
