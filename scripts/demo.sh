#!/usr/bin/env bash
# Runs the launcher's posix build on the bundled demo installation: a sandbox
# with the three known folders and a registry file, made afresh each run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j"$(nproc)" --target vkstart acad_standin

sandbox="$root/build/demo-sandbox"
rm -rf "$sandbox"
mkdir -p "$sandbox/Common Files" "$sandbox/ProgramData" "$sandbox/AppData/Roaming"
# AutoCAD is the stand-in, which records how it was started in acad.txt.
standin="$root/build/linux/tools/acad_standin"
sed -e "s|@DEMO@|$root/demo|g" -e "s|^\"AcadLocation\"=.*|\"AcadLocation\"=\"$standin\"|" \
  demo/registry.reg > "$sandbox/registry.reg"

export CommonProgramFiles="$sandbox/Common Files"
export ProgramData="$sandbox/ProgramData"
export APPDATA="$sandbox/AppData/Roaming"
export VKSTART_REGISTRY="$sandbox/registry.reg"
export VKSTART_ACAD_RECORD="$sandbox/acad.txt"

echo "sandbox: $sandbox"
echo "\$ vkstart ${*:--b startup.scr /nologo}"
if [ $# -gt 0 ]; then
  build/linux/app/vkstart "$@"
else
  build/linux/app/vkstart -b startup.scr /nologo
fi
# The launcher does not wait for AutoCAD; give the stand-in a moment.
for _ in {1..20}; do [ -f "$sandbox/acad.txt" ] && break; sleep 0.1; done
echo "AutoCAD (stand-in) received:"
sed 's/^/  /' "$sandbox/acad.txt" 2>/dev/null || echo "  (not started)"
