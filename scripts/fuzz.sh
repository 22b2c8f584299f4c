#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs one of them.
# usage: scripts/fuzz.sh NAME [RUNS [MAX_LEN]]   e.g. scripts/fuzz.sh reg_file_fuzzer 10000000
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
name=${1:?fuzzer name, e.g. reg_file_fuzzer}
runs=${2:-1000000}
max_len=${3:-4096}
mkdir -p build
# Builds of the shared fuzz tree take turns; the runs themselves go in parallel.
flock build/.fuzz-build.lock bash -c "cmake --preset fuzz >/dev/null && cmake --build --preset fuzz --target '$name'"
work="build/fuzz/corpus/$name"
mkdir -p "$work"
seeds=()
[ -d "fuzz/seeds/$name" ] && seeds=("fuzz/seeds/$name")
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
"build/fuzz/fuzz/$name" -runs="$runs" -max_len="$max_len" -print_final_stats=1 \
  -artifact_prefix="build/fuzz/$name-" "$work" "${seeds[@]}"
