#!/usr/bin/env bash
# Runs the launcher on the bundled demo installation, in a sandbox made afresh
# each run (three known folders and a registry): a first launch, a second one,
# and one after an upgrade that adds the "H" edition, each followed by a short
# report. The posix build by default; --wine runs the Windows build under Wine.
#
# usage: scripts/demo.sh [--wine] [launcher switches...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

wine=0
if [ "${1:-}" = "--wine" ]; then
  wine=1
  shift
fi
switches=("$@")
[ ${#switches[@]} -gt 0 ] || switches=(-b startup.scr /nologo)

bash scripts/setup.sh
sandbox="$root/build/demo-sandbox"
rm -rf "$sandbox"
mkdir -p "$sandbox"

# Each backend defines: appdata (the user's roaming folder as a Unix path),
# localappdata (the user's local one, where the launch log is),
# run_launcher SWITCHES..., export_registry FILE and set_modules TEXT.
if [ $wine -eq 1 ]; then
  # shellcheck source=scripts/demo_wine.sh
  source scripts/demo_wine.sh
else
  cmake --preset linux >/dev/null
  cmake --build --preset linux -j"$(nproc)" --target vkstart acad_standin >/dev/null
  appdata="$sandbox/AppData/Roaming"
  localappdata="$sandbox/AppData/Local"
  mkdir -p "$sandbox/Common Files" "$sandbox/ProgramData" "$appdata" "$localappdata"
  standin="$root/build/linux/tools/acad_standin"
  sed -e "s|@DEMO@|$root/demo|g" -e "s|@ACAD@|$standin|g" demo/registry.reg > "$sandbox/registry.reg"
  export CommonProgramFiles="$sandbox/Common Files"
  export ProgramData="$sandbox/ProgramData"
  export APPDATA="$appdata"
  export LOCALAPPDATA="$localappdata"
  export VKSTART_REGISTRY="$sandbox/registry.reg"
  export VKSTART_ACAD_RECORD="$sandbox/acad.txt"
  run_launcher() { build/linux/app/vkstart "$@"; }
  export_registry() { cp "$VKSTART_REGISTRY" "$1"; }
  set_modules() {
    python3 - "$VKSTART_REGISTRY" "$1" <<'PY'
import re
import sys
path, modules = sys.argv[1], sys.argv[2]
raw = open(path, 'rb').read()
utf16 = raw.startswith(b'\xff\xfe')
text = raw.decode('utf-16') if utf16 else raw.decode('utf-8')
# "Modules" of the machine key.
text = re.sub(r'(\[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kavrin\\VELKOR RUR15\][^\[]*?"Modules"=)"[^"]*"',
              lambda m: m.group(1) + '"%s"' % modules, text, count=1, flags=re.I)
open(path, 'wb').write(b'\xff\xfe' + text.encode('utf-16-le') if utf16 else text.encode('utf-8'))
PY
  }
fi

# The user has run AutoCAD Architecture once, and keeps a file of their own
# where the add-on's copy would go.
mkdir -p "$appdata/Autodesk/ACA 2024/csy/Support/RegisteredTools" \
  "$appdata/Autodesk/ACA 2024/csy/Support/Profiles" "$appdata/Kavrin/VELKOR RUR15/Support"
printf ';; my own start-up routine\r\n' > "$appdata/Kavrin/VELKOR RUR15/Support/kvstart.lsp"

launch() {
  echo
  echo "=== $1"
  echo "\$ vkstart ${switches[*]}"
  run_launcher "${switches[@]}"
  # The posix launcher does not wait for AutoCAD; give the stand-in a moment.
  for _ in {1..30}; do [ -f "$sandbox/acad.txt" ] && break; sleep 0.1; done
  export_registry "$sandbox/export.reg"
  python3 scripts/demo_report.py "$sandbox" "$appdata" "$sandbox/export.reg" \
    "$localappdata/Kavrin/VELKOR RUR15/Logs/vkstart.log"
}

echo "sandbox: $sandbox"
launch "First launch (editions DT A)"
snapshot() { (cd "$appdata" && find Kavrin Autodesk -type f -exec md5sum {} + | sort -k2); }
snapshot > "$sandbox/files.before"
launch "Second launch: nothing changes"
snapshot > "$sandbox/files.after"
if cmp -s "$sandbox/files.before" "$sandbox/files.after"; then
  echo "  (no file in the user's folders changed)"
else
  echo "  files that changed:"; diff "$sandbox/files.before" "$sandbox/files.after" | sed 's/^/    /'
fi
set_modules "DT A H"
launch "Upgrade: the machine now has the editions DT A H"
