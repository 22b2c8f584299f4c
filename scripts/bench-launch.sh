#!/usr/bin/env bash
# The posix build's first and second launch on a large installation (about
# 10,000 files, 200 MB; bench/make_installation.py), each against its floor
# measured the same way in the same run: the first launch against `cp -r` of
# the tree plus deflating the merged package's members, the second against
# `cp -rn` of the tree onto the filled target. Wall-clock medians of RUNS runs
# with the page cache warm; the stand-in AutoCAD ends at once. The launches
# are also given without the splash's fixed 500 ms pause. An untimed run
# under strace then checks that the second launch opens no package and that
# no file in the user's folders changes (content and modification time), and
# another counts the first launch's path look-ups per copied file.
#
# usage: scripts/bench-launch.sh [RUNS]   (default 7; VKSTART_BUILD names the
#                                          build folder, default build/linux)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${1:-7}
build=${VKSTART_BUILD:-build/linux}
if [ "$build" = build/linux ]; then
  cmake --preset linux >/dev/null
  cmake --build --preset linux --target vkstart acad_standin >/dev/null
fi

work=$root/build/bench-launch
python3 bench/make_installation.py demo "$work"
tree=$work/install/UserDataCache
sandbox=$work/sandbox
export CommonProgramFiles="$sandbox/Common Files" ProgramData="$sandbox/ProgramData"
export APPDATA="$sandbox/AppData" VKSTART_REGISTRY="$sandbox/registry.reg"
# The launch log is kept, as on Windows, so its cost is in the figures.
export LOCALAPPDATA="$sandbox/Local"
export VKSTART_ACAD_RECORD="$sandbox/acad.txt"
user=$APPDATA/Kavrin/VELKOR\ RUR15

fresh_sandbox() {
  rm -rf "$sandbox"
  mkdir -p "$CommonProgramFiles" "$ProgramData" "$LOCALAPPDATA" \
    "$APPDATA/Autodesk/ACA 2024/csy/Support/RegisteredTools" \
    "$APPDATA/Autodesk/ACA 2024/csy/Support/Profiles"
  sed -e "s|@DEMO@|$work|g" -e "s|@ACAD@|$root/$build/tools/acad_standin|g" demo/registry.reg \
    >"$VKSTART_REGISTRY"
}
launch() { "$build/app/vkstart" /nologo 2>/dev/null; }
# seconds COMMAND...: the wall-clock time of one run.
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@"
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}
median() { sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
deflate_package() {
  python3 -c 'import sys, zipfile, zlib
with zipfile.ZipFile(sys.argv[1]) as z:
    for name in z.namelist(): zlib.compress(z.read(name), 6)' "$user/Support/DT+/aca.cuix"
}
floor_first() { rm -rf "$work/copy"; cp -r "$tree" "$work/copy"; }
floor_second() { cp -rn "$tree/." "$work/copy/"; }

# Warm the page cache.
fresh_sandbox && launch && floor_first
: >"$work/first" && : >"$work/second" && : >"$work/floor1" && : >"$work/floor2" && : >"$work/zlib"
for _ in $(seq "$runs"); do
  fresh_sandbox
  seconds launch >>"$work/first"
  seconds launch >>"$work/second"
  seconds floor_first >>"$work/floor1"
  seconds floor_second >>"$work/floor2"
  seconds deflate_package >>"$work/zlib"
done
# The deflate floor includes the interpreter's start; take its empty run off.
empty=$(for _ in $(seq "$runs"); do seconds python3 -c 'import zipfile, zlib'; done | median)
first=$(median <"$work/first")
second=$(median <"$work/second")
floor1=$(echo "$(median <"$work/floor1") + $(median <"$work/zlib") - $empty" | bc)
floor2=$(median <"$work/floor2")

# Untimed: the first launch's path look-ups (stat family, openat and
# getdents64 together, every thread counted) per copied file.
fresh_sandbox
strace -f -c -o "$work/lookups.txt" "$build/app/vkstart" /nologo 2>/dev/null
copied=$(find "$user" -type f | wc -l)
lookups=$(awk '$NF ~ /^(stat|lstat|fstat|newfstatat|statx|openat|getdents64)$/ { n += $4 }
  END { print n + 0 }' "$work/lookups.txt")

# Untimed: the second launch under strace, and the user's files before and after.
fresh_sandbox && launch
state() { (cd "$APPDATA" && find . -type f -printf '%p %T@ ' -exec md5sum {} \; | sort); }
state >"$work/before"
strace -f -qq -e trace=openat,rename -o "$work/strace.txt" "$build/app/vkstart" /nologo 2>/dev/null
state >"$work/after"
opens=$(grep -c '\.cuix"' "$work/strace.txt" || true)
changed=$(diff "$work/before" "$work/after" | grep -c '^>' || true)

# The splash waits 500 ms before the launch starts: a fixed pause, not work.
pause=0.5
report() {
  printf '%-14s %.3f s (%.3f s after the pause), floor %.3f s (%s): ratio %.2f, %.2f after the pause (goal <= %s)\n' \
    "$1" "$2" "$(echo "$2 - $pause" | bc)" "$3" "$4" "$(echo "$2 / $3" | bc -l)" \
    "$(echo "($2 - $pause) / $3" | bc -l)" "$5"
}
report "first launch:" "$first" "$floor1" "cp -r + deflate" 1.3
report "second launch:" "$second" "$floor2" "cp -rn" 1.5
echo "second launch: $opens opens of a package, $changed files in the user's folders changed"
printf 'first launch: %s path look-ups for %s files: %.1f per file (goal <= 12)\n' \
  "$lookups" "$copied" "$(echo "$lookups / $copied" | bc -l)"
