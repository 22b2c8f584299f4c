#!/usr/bin/env bash
# Screenshots of the Windows launcher under Wine on a virtual X screen: the
# splash window while it waits for the user's lock, the wait dialog while a first launch
# copies a large installation (bench/make_installation.py's tree), and message
# 17 (the user has never run AutoCAD Architecture) above the splash. Each
# window alone and the whole screen. PNG files in the build folder.
#
# usage: scripts/screenshots.sh [--windows-build DIR]   (default build/windows)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

windows_build=$root/build/windows
inside=0
while [ $# -gt 0 ]; do
  case $1 in
    --inside) inside=1; shift ;;  # run by xvfb-run, on the virtual screen
    --windows-build) windows_build=$(realpath -m "${2:?}"); shift 2 ;;
    -h | --help) sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    *) echo "screenshots: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
done

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
launcher=$windows_build/app/vkstart.exe
acad_dir=$windows_build/tools/acad_standin
holder=$windows_build/tools/lock_holder/lock_holder.exe
for tool in xvfb-run xwd xwdtopnm pnmtopng pnmpaste xdotool localedef; do
  command -v "$tool" >/dev/null || { echo "screenshots: $tool missing; run scripts/setup.sh" >&2; exit 2; }
done
[ $inside = 1 ] || cmake --build "$windows_build" --target vkstart acad_standin lock_holder >/dev/null

out=$windows_build/screenshots
run=$out/run
locale_dir=$root/build/wine-locale
if [ ! -f "$locale_dir/cs_CZ.UTF-8/LC_CTYPE" ]; then
  mkdir -p "$locale_dir"
  localedef -i cs_CZ -f UTF-8 "$locale_dir/cs_CZ.UTF-8" || [ -f "$locale_dir/cs_CZ.UTF-8/LC_CTYPE" ]
fi
export WINEDEBUG=-all WINEPREFIX=$run/prefix
# Wine in a Czech locale: ANSI code page 1250, as on a Czech Windows.
w() { LOCPATH=$locale_dir LC_ALL=cs_CZ.UTF-8 "$@"; }

winpath() { printf 'Z:%s' "${1//\//\\}"; }
esc() { local p; p=$(winpath "$1"); printf '%s' "${p//\\/\\\\}"; }
# The demo machine: the add-on and AutoCAD Architecture installed, AutoCAD
# being the stand-in, which shows a window and ends by itself.
machine_reg() {
  cat <<REG
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kavrin\\VELKOR RUR15]
"AcadPathReg"="Software\\\\Autodesk\\\\AutoCAD\\\\R24.3\\\\ACAD-7104:405"
"StartLocation"="$(esc "$run/install")"
"Modules"="DT A H"
"Version"="15.0"
"VersionH"="15.0.2"

[HKEY_LOCAL_MACHINE\\Software\\Autodesk\\AutoCAD\\R24.3\\ACAD-7104:405]
"AcadLocation"="$(esc "$acad_dir")"
"LangAbbrev"="csy"
"ProductNameShort"="ACA 2024"

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"="N"
REG
}

# shot NAME WINDOW: the window alone and the whole screen. The screen's image
# under Xvfb may lack a window's own pixels (a black rectangle where a message
# box is), so the window's image is laid over it at the window's place.
shot() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  xwd -silent -id "$2" | xwdtopnm 2>/dev/null >"$run/window.pnm"
  xwd -silent -root | xwdtopnm 2>/dev/null >"$run/screen.pnm"
  eval "$(xdotool getwindowgeometry --shell "$2")"
  pnmtopng <"$run/window.pnm" >"$out/$1.png"
  pnmpaste "$run/window.pnm" "$X" "$Y" "$run/screen.pnm" | pnmtopng >"$out/$1-screen.png"
}

# Inside the virtual screen: a fresh prefix, then the two launches.
inside() {
  w "$wine" wineboot -i >"$run/wineboot.log" 2>&1
  machine_reg | iconv -f UTF-8 -t UTF-16 >"$run/machine.reg"
  w "$wine" reg import "$(winpath "$run/machine.reg")" >/dev/null 2>&1
  w "$wineserver" -k; w "$wineserver" -w

  # The user has run AutoCAD. Another launch holds the user's lock, so the
  # splash stays up, waiting, until the shot is taken.
  w "$wine" reg add 'HKCU\Software\Autodesk\AutoCAD\R24.3\ACAD-7104:405' /f >/dev/null 2>&1
  w "$wine" "$holder" "VELKOR RUR15" "$(winpath "$run/held")" "$(winpath "$run/release")" &
  local holding=$!
  timeout 30 bash -c "until [ -s '$run/held' ]; do sleep 0.1; done"
  w "$wine" "$launcher" >"$run/splash.log" 2>&1 &
  local launch=$!
  local id
  id=$(timeout 20 xdotool search --sync --onlyvisible --name '^VELKOR DT$' | head -n 1)
  sleep 1  # painted
  shot splash "$id"
  : >"$run/release"
  wait "$holding" || true
  wait "$launch" || true

  # A first launch on a large installation: the wait dialog names each file.
  w "$wine" reg add 'HKLM\SOFTWARE\Kavrin\VELKOR RUR15' /v StartLocation /t REG_SZ \
    /d "$(winpath "$run/large/install")" /f >/dev/null 2>&1
  w "$wine" "$launcher" >"$run/wait.log" 2>&1 &
  launch=$!
  id=$(timeout 60 xdotool search --sync --onlyvisible --name '^Prosím čekejte' | head -n 1)
  sleep 1  # a few files in, the status line names one
  shot wait "$id"
  wait "$launch" || true

  # The user has never run it: message 17, above the splash.
  w "$wine" reg delete 'HKCU\Software\Autodesk' /f >/dev/null 2>&1
  w "$wine" "$launcher" >"$run/message17.log" 2>&1 &
  launch=$!
  id=$(timeout 20 xdotool search --sync --onlyvisible --name '^VELKOR$' | head -n 1)
  sleep 2  # the first box of a fresh prefix takes a while to paint
  xdotool mousemove --window "$id" 20 20 || true
  shot message17 "$id"
  xdotool key Return
  wait "$launch" || true
  w "$wineserver" -k
}
if [ $inside = 1 ]; then
  trap 'w "$wineserver" -k 2>/dev/null || true' EXIT
  inside
  exit 0
fi
rm -rf "$out"
mkdir -p "$run/install"
python3 "$root/bench/make_installation.py" "$root/demo" "$run/large" >/dev/null
xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --windows-build "$windows_build" --inside
rm -rf "$run"
ls "$out"/*.png
