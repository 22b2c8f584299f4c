#!/usr/bin/env bash
# Runs the launcher's posix build on the bundled demo installation: a sandbox
# with the three known folders and a registry file, made afresh each run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j"$(nproc)" --target vkstart

sandbox="$root/build/demo-sandbox"
rm -rf "$sandbox"
mkdir -p "$sandbox/Common Files" "$sandbox/ProgramData" "$sandbox/AppData/Roaming"
sed "s|@DEMO@|$root/demo|g" demo/registry.reg > "$sandbox/registry.reg"

export CommonProgramFiles="$sandbox/Common Files"
export ProgramData="$sandbox/ProgramData"
export APPDATA="$sandbox/AppData/Roaming"
export VKSTART_REGISTRY="$sandbox/registry.reg"

echo "sandbox: $sandbox"
echo "\$ vkstart ${*:--b startup.scr /nologo}"
if [ $# -gt 0 ]; then
  build/linux/app/vkstart "$@"
else
  build/linux/app/vkstart -b startup.scr /nologo
fi
