#!/usr/bin/env bash
# Runs the launcher on the bundled demo installation, in a sandbox made afresh
# each run (three known folders and a registry): a first launch, a second one,
# and one after an upgrade that adds the "H" edition, each followed by a short
# report; then the add-on leaves the machine and the user's clean-up runs as at
# the next logon. The posix build by default; --wine runs the Windows build
# under Wine.
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
# run_launcher SWITCHES..., export_registry FILE and set_modules TEXT; and for
# the clean-up, installed with the add-on where the "Run" value names it:
# remove_machine_key, run_uninstaller SWITCHES... and uninstall_report (the
# report's path as a Unix path). Both use the freedesktop trash in the sandbox.
if [ $wine -eq 1 ]; then
  # shellcheck source=scripts/demo_wine.sh
  source scripts/demo_wine.sh
else
  cmake --preset linux >/dev/null
  cmake --build --preset linux -j"$(nproc)" --target vkstart acad_standin kvuninstall >/dev/null
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
  export TMPDIR="$sandbox/Temp"
  mkdir -p "$TMPDIR" "$ProgramData/Kavrin"
  cp build/linux/uninstall/KVUnInstall.exe "$ProgramData/Kavrin/"
  run_launcher() { build/linux/app/vkstart "$@"; }
  run_uninstaller() { "$ProgramData/Kavrin/KVUnInstall.exe" "$@"; }
  uninstall_report() { printf '%s' "$TMPDIR/kvuninstall.log"; }
  remove_machine_key() {
    python3 - "$VKSTART_REGISTRY" <<'PY'
import re
import sys
path = sys.argv[1]
raw = open(path, 'rb').read()
utf16 = raw.startswith(b'\xff\xfe')
text = raw.decode('utf-16') if utf16 else raw.decode('utf-8')
# The machine key and its values, as a machine-wide uninstall leaves it.
text = re.sub(r'\[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kavrin\\VELKOR RUR15\][^\[]*', '', text, flags=re.I)
open(path, 'wb').write(b'\xff\xfe' + text.encode('utf-16-le') if utf16 else text.encode('utf-8'))
PY
  }
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

echo
echo "=== Uninstall: the add-on leaves the machine (its machine key goes); at the user's next logon"
echo "    the \"Run\" value starts KVUnInstall.exe, which finds the machine key gone"
export XDG_DATA_HOME="$sandbox/xdg-data"
mkdir -p "$XDG_DATA_HOME"
remove_machine_key
echo "\$ KVUnInstall.exe"
run_uninstaller >/dev/null || echo "  (KVUnInstall ended with $?)"
echo "The clean-up's report ($(basename "$(uninstall_report)") in the temporary folder):"
sed 's/^[^ ]* /  /' "$(uninstall_report)"
echo "In the trash (\$XDG_DATA_HOME/Trash/files):"
(cd "$XDG_DATA_HOME/Trash/files" && find . -mindepth 1 -maxdepth 1 | sed 's|^\./|  |' | sort)
export_registry "$sandbox/export.reg"
python3 scripts/demo_report.py "$sandbox" "$appdata" "$sandbox/export.reg" \
  "$localappdata/Kavrin/VELKOR RUR15/Logs/vkstart.log"
