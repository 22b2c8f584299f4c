# The Windows build of the demo under Wine, sourced by scripts/demo.sh: a
# fresh Wine prefix in the sandbox, in a Czech locale (ANSI code page 1250),
# headless, with AutoCAD's side of the demo registry imported, the add-on
# installed by its Windows Installer package as on a workstation, and
# msgbox_helper answering any message box. Defines what demo.sh expects of a
# backend: the upgrade is a later package, the uninstall the package's removal.

windows_build=${VKSTART_WINDOWS_BUILD:-build/windows}
if [ "$windows_build" = build/windows ]; then
  cmake --preset windows >/dev/null
fi
cmake --build "$windows_build" -j"$(nproc)" --target msi acad_standin msgbox_helper >/dev/null
package=$windows_build/installer/velkor-rur15.msi

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
locale_dir=$root/build/wine-locale
if [ ! -f "$locale_dir/cs_CZ.UTF-8/LC_CTYPE" ]; then
  mkdir -p "$locale_dir"
  localedef -i cs_CZ -f UTF-8 "$locale_dir/cs_CZ.UTF-8" || [ -f "$locale_dir/cs_CZ.UTF-8/LC_CTYPE" ]
fi
prefix=$sandbox/wineprefix
in_prefix() {
  env -u DISPLAY -u WAYLAND_DISPLAY LOCPATH="$locale_dir" LC_ALL=cs_CZ.UTF-8 WINEDEBUG=-all \
    WINEPREFIX="$prefix" "$@"
}
winpath() { printf 'Z:%s' "${1//\//\\}"; }

echo "making a Wine prefix..."
in_prefix "$wine" wineboot -i >"$sandbox/wineboot.log" 2>&1
in_prefix "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
in_prefix "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
python3 - demo/registry.reg "$(winpath "$root/demo")" \
  "$(winpath "$(realpath "$windows_build")/tools/acad_standin")" >"$sandbox/registry.reg" <<'PY'
import re
import sys
# A .reg string holds each backslash twice; reg.exe reads UTF-16LE. The add-on's
# machine key is the package's to write.
demo, acad = (a.replace('\\', '\\\\') for a in sys.argv[2:4])
text = open(sys.argv[1], encoding='utf-8').read().replace('@DEMO@', demo).replace('@ACAD@', acad)
text = re.sub(r'\[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kavrin\\VELKOR RUR15\][^\[]*', '', text)
sys.stdout.buffer.write(b'\xff\xfe' + text.replace('\n', '\r\n').encode('utf-16-le'))
PY
in_prefix "$wine" reg import "$(winpath "$sandbox/registry.reg")" >/dev/null 2>&1
# Started afresh, so that the desktop comes up with the null graphics driver.
in_prefix "$wineserver" -k
msiexec() {
  echo "\$ msiexec $1 $(basename "$2") /qn${3:+ ${3%%=*}=\"${3#*=}\"}"
  in_prefix "$wine" msiexec "$1" "$(winpath "$(realpath "$2")")" /qn ${3:+"$3"} </dev/null ||
    echo "  (msiexec ended with $?)"
}
echo "installing the add-on:"
msiexec /i "$package"
# The Windows build prints no settings; these are what it reads them from.
echo "settings (the machine's add-on key and AutoCAD's product key):"
for key in 'HKLM\SOFTWARE\Kavrin\VELKOR RUR15' 'HKLM\Software\Autodesk\AutoCAD\R24.3\ACAD-7104:405' \
  'HKCU\Software\Autodesk\AutoCAD\R24.3\ACAD-7104:405\aecProfile\Macros'; do
  in_prefix "$wine" reg query "$key" 2>/dev/null | tr -d '\r' | sed -n 's/^    /  /p'
done
appdata=$(ls -d "$prefix"/drive_c/users/*/AppData/Roaming | grep -v /Public/ | head -1)
localappdata=${appdata%/Roaming}/Local

export VKSTART_ACAD_RECORD VKSTART_MSGBOX_LOG VKSTART_MSGBOX_STOP
VKSTART_ACAD_RECORD=$(winpath "$sandbox/acad.txt")
VKSTART_MSGBOX_LOG=$(winpath "$sandbox/messages.log")
VKSTART_MSGBOX_STOP=$(winpath "$sandbox/helper.stop")
in_prefix "$wine" "$windows_build/tools/msgbox_helper/msgbox_helper.exe" </dev/null \
  >"$sandbox/helper.log" 2>&1 &
# shellcheck disable=SC2064  # the paths are fixed now
trap "touch '$sandbox/helper.stop'; sleep 1; in_prefix $wineserver -k 2>/dev/null || true" EXIT

# The launcher where the package put it, as the shortcut starts it.
run_launcher() {
  in_prefix "$wine" 'C:\Program Files\Kavrin\VELKOR RUR15\vkstart.exe' "$@" </dev/null
  if [ -s "$sandbox/messages.log" ]; then
    echo "message boxes:"; sed 's/^/  /' "$sandbox/messages.log"; : >"$sandbox/messages.log"
  fi
}
export_registry() {
  local key part=0
  : >"$1"
  for key in 'HKCU\Software\Kavrin' 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' \
    'HKCU\Software\Autodesk\AutoCAD\R24.3\ACAD-7104:405\Profiles\VELKOR RUR15'; do
    part=$((part + 1))
    if in_prefix "$wine" reg export "$key" "$(winpath "$sandbox/export$part.reg")" /y \
      >/dev/null 2>&1; then
      python3 -c 'import sys; sys.stdout.write(open(sys.argv[1], "rb").read().decode("utf-16"))' \
        "$sandbox/export$part.reg" >>"$1"
    fi
  done
}
# The upgrade: a package one version later, given the new editions.
later_package=$sandbox/velkor-rur15-later.msi
set_modules() {
  local version
  version=$(msiinfo export "$package" Property | tr -d '\r' | awk -F'\t' '$1 == "ProductVersion" { print $2 }')
  python3 installer/build_msi.py --launcher "$windows_build/app/vkstart.exe" \
    --cleanup "$windows_build/uninstall/KVUnInstall.exe" --tree demo/install \
    --version "${version%.*}.$((${version##*.} + 1))" --output "$later_package"
  msiexec /i "$later_package" "MODULES=$1"
}
remove_machine_key() {
  msiexec /x "$later_package"
}
run_uninstaller() {
  in_prefix "$wine" 'C:\ProgramData\Kavrin\KVUnInstall.exe' "$@" </dev/null
}
# In the user's temporary folder, wherever the prefix keeps it.
uninstall_report() {
  find "$prefix/drive_c/users" -name kvuninstall.log -print -quit
}
