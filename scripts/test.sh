#!/usr/bin/env bash
# Every test: the native suite (posix backend), the same suite under address
# and undefined-behaviour sanitizers, the Windows build's suite under Wine, and
# the add-on's Windows Installer package installed, upgraded and removed under
# Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

bash scripts/setup.sh

echo "== native (posix backend)"
cmake --preset linux >/dev/null
cmake --build --preset linux -j"$jobs"
ctest --preset linux -j"$jobs"

echo "== native with sanitizers"
cmake --preset linux-asan >/dev/null
cmake --build --preset linux-asan -j"$jobs" --target vk_tests
ctest --preset linux-asan -j"$jobs"

echo "== Windows build (win32 backend) under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs"
bash scripts/wine-tests.sh --windows-build build/windows --native-build build/linux

echo "== the Windows Installer package's life cycle under Wine"
python3 tests/installer/msi_lifecycle_wine.py --windows-build build/windows
