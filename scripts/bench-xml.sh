#!/usr/bin/env bash
# Builds the XML benchmark (bench preset, optimised) and runs it: the reader
# and writer against pugixml, tinyxml2 and libxml2 on the same bytes, warm and
# one-shot, as MB/s and ratios. Needs Debian's libpugixml-dev, libtinyxml2-dev
# and libxml2-dev.
# usage: scripts/bench-xml.sh [RUNS]   (default 7 warm runs per figure)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset bench >/dev/null
cmake --build --preset bench --target xml_bench
exec build/bench/bench/xml_bench "${1:-7}"
