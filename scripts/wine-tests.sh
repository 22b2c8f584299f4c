#!/usr/bin/env bash
# Runs the Windows test executable under Wine. The suites are split into groups
# by family (the first word of the suite name); each group runs in its own copy
# of one freshly made Wine prefix, headless, beside tools/msgbox_helper, which
# answers the launcher's message boxes. Ends with one line "wine: N passed, N failed".
#
# usage: scripts/wine-tests.sh [--windows-build DIR] [--native-build DIR]
#                              [--filter GTEST_FILTER] [--jobs N] [--timeout SECONDS]
#                              [-- ARGS...]
#   --windows-build  the MinGW build folder (default build/windows)
#   --native-build   the native build folder, for the registry round trip
#                    (default build/linux)
#   --filter         run only the tests that match this gtest filter
#   --jobs           groups run at the same time (default 2)
#   --timeout        a group still running after this long is stuck, most
#                    likely on a box that msgbox_helper does not answer (default 300)
#   ARGS             passed on to vk_tests.exe
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

windows_build=$root/build/windows
native_build=$root/build/linux
filter=
jobs=2
group_timeout=300
while [ $# -gt 0 ]; do
  case $1 in
    --windows-build) windows_build=$(realpath -m "${2:?}"); shift 2 ;;
    --native-build) native_build=$(realpath -m "${2:?}"); shift 2 ;;
    --filter) filter=${2:?}; shift 2 ;;
    --jobs) jobs=${2:?}; shift 2 ;;
    --timeout) group_timeout=${2:?}; shift 2 ;;
    --) shift; break ;;
    -h | --help) sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    *) echo "wine-tests: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
done
extra_args=("$@")

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
tests_exe=$windows_build/tests/vk_tests.exe
helper_exe=$windows_build/tools/msgbox_helper/msgbox_helper.exe
native_exe=$native_build/tests/vk_tests
roundtrip_fixture=$root/tests/data/registry/roundtrip.reg

[ -x "$wine" ] || { echo "wine-tests: $wine not found; run scripts/setup.sh" >&2; exit 2; }
[ -f "$tests_exe" ] || { echo "wine-tests: $tests_exe not found; build the windows preset first" >&2; exit 2; }
# msgbox_helper is a small target of the same build; make sure it is there and current.
if ! build_log=$(cmake --build "$windows_build" --target msgbox_helper 2>&1); then
  echo "$build_log" >&2
  echo "wine-tests: cannot build msgbox_helper in $windows_build" >&2
  exit 2
fi

# A Czech Windows: ANSI code page 1250. Without a generated locale Wine still
# picks 1250, but non-ASCII file names and arguments then break.
locale_dir=$root/build/wine-locale
if [ ! -f "$locale_dir/cs_CZ.UTF-8/LC_CTYPE" ]; then
  mkdir -p "$locale_dir"
  fresh=$(mktemp -d "$locale_dir/new.XXXXXX")
  localedef -i cs_CZ -f UTF-8 "$fresh/cs_CZ.UTF-8" || [ -f "$fresh/cs_CZ.UTF-8/LC_CTYPE" ]
  mv -T "$fresh/cs_CZ.UTF-8" "$locale_dir/cs_CZ.UTF-8" 2>/dev/null || true  # another run won
  rm -rf "$fresh"
fi

# in_prefix PREFIX COMMAND...: runs a command with Wine's environment, never on
# a display. Windows programs see the rest of the Unix environment, except the
# variables whose names begin with VK_ (Wine keeps those for Vulkan).
in_prefix() {
  [ -n "$1" ] || { echo "wine-tests: no prefix given" >&2; return 1; }
  env -u DISPLAY -u WAYLAND_DISPLAY LOCPATH="$locale_dir" LC_ALL=cs_CZ.UTF-8 WINEDEBUG=-all \
    WINEPREFIX="$1" "${@:2}"
}
# The Windows name of a Unix path (Wine's Z: drive is /).
winpath() { printf 'Z:%s' "${1//\//\\}"; }
# Ends the Wine server of each prefix under the run folder, and all it runs.
stop_servers() {
  local prefix
  for prefix in "$run"/template "$run"/*/prefix; do
    if [ -d "$prefix" ]; then in_prefix "$prefix" "$wineserver" -k 2>/dev/null || true; fi
  done
}

run=$windows_build/wine-tests
group_pids=()
# shellcheck disable=SC2317  # run by the trap
cleanup() {
  local pid
  for pid in "${group_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  stop_servers
  wait 2>/dev/null || true
  rm -rf "$run"/template "$run"/*/prefix
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

stop_servers  # left over from an interrupted earlier run
rm -rf "$run"
mkdir -p "$run"

# The template prefix, made once per run. Managed=N: without a window manager
# every top-level window's destruction would otherwise stall for two seconds.
# No crash dialog: headless it would wait forever; the debugger then writes
# its backtrace into the group's output instead.
started=$SECONDS
template=$run/template
if ! in_prefix "$template" "$wine" wineboot -i >"$run/wineboot.log" 2>&1; then
  echo "wine-tests: wineboot failed, see $run/wineboot.log" >&2
  exit 1
fi
in_prefix "$template" "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
in_prefix "$template" "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
list_args=(--gtest_list_tests)
[ -n "$filter" ] && list_args+=("--gtest_filter=$filter")
if ! in_prefix "$template" "$wine" "$tests_exe" "${list_args[@]}" >"$run/tests.txt" 2>"$run/list.log"; then
  echo "wine-tests: vk_tests.exe --gtest_list_tests failed:" >&2
  cat "$run/list.log" >&2
  exit 1
fi
in_prefix "$template" "$wineserver" -w

# groups.txt: one line per family: name, test count, gtest filter. Without a
# user filter a group names whole suites; with one, the chosen tests.
awk -v byTest="${filter:+1}" '
  { sub(/\r$/, ""); sub(/  #.*/, "") }
  /^[^ ]/ {
    suite = $0; sub(/\.$/, "", suite)
    name = suite; sub(/\/[0-9]+$/, "", name); sub(/.*\//, "", name); sub(/^DISABLED_/, "", name)
    family = match(name, /^[A-Z][a-z0-9]*/) ? substr(name, RSTART, RLENGTH) : name
    if (!(family in count)) order[++families] = family
    if (!byTest) filters[family] = filters[family] (family in count ? ":" : "") suite ".*"
    count[family] += 0
    next
  }
  /^ +[^ ]/ {
    test = $0; sub(/^ +/, "", test)
    if (test ~ /^DISABLED_/ || suite ~ /^DISABLED_|\/DISABLED_/) next
    if (byTest) filters[family] = filters[family] (count[family] ? ":" : "") suite "." test
    count[family]++
  }
  END { for (i = 1; i <= families; i++) if (count[order[i]]) print order[i], count[order[i]], filters[order[i]] }
' "$run/tests.txt" >"$run/groups.txt"
mapfile -t groups <"$run/groups.txt"
echo "wine-tests: prefix ready in $((SECONDS - started)) s; test groups: ${#groups[@]}"
[ ${#groups[@]} -gt 0 ] || echo "wine-tests: no test matches${filter:+ the filter $filter}"

# run_group INDEX NAME FILTER: one group, run in a subshell of its own. A
# group whose program started no test at all (Wine failed to start it, or it
# hung before its first test) is run once more in a fresh prefix; the first
# attempt's output stays beside as output-1.log.
run_group() {
  local dir=$run/$1
  mkdir -p "$dir"
  run_attempt "$@"
  if [ -f "$dir/output.log" ] && ! grep -q '^\[ RUN      \]' "$dir/output.log"; then
    local rc seconds
    read -r rc seconds <"$dir/status"
    if [ "$rc" -ne 0 ]; then
      mv "$dir/output.log" "$dir/output-1.log"
      echo "$rc $seconds" >"$dir/status-1"
      rm -f "$dir/report.xml" "$dir/helper.stop"
      run_attempt "$@"
    fi
  fi
}

# run_attempt INDEX NAME FILTER: the group in a fresh copy of the template.
# Hard links make the copy instant; the registry files are real copies
# because the Wine server rewrites them. The server is started on its own
# first, so that the message-box helper and the tests never race to start it.
run_attempt() {
  local dir=$run/$1 prefix=$run/$1/prefix
  # shellcheck disable=SC2064  # the path is fixed now; the trap runs outside this function
  trap "in_prefix $(printf '%q' "$prefix") $wineserver -k 2>/dev/null || true" EXIT
  cp -al "$template" "$prefix"
  cp --remove-destination "$template"/*.reg "$prefix"/
  # Headless: the null graphics driver. Message boxes then wait for an answer,
  # which msgbox_helper gives.
  printf '\n[Software\\\\Wine\\\\Drivers]\n"Graphics"="null"\n' >>"$prefix/user.reg"
  in_prefix "$prefix" "$wineserver" -p 2>/dev/null || true
  export VKSTART_MSGBOX_LOG VKSTART_MSGBOX_STOP
  VKSTART_MSGBOX_LOG=$(winpath "$dir/messages.log")
  VKSTART_MSGBOX_STOP=$(winpath "$dir/helper.stop")
  in_prefix "$prefix" "$wine" "$helper_exe" </dev/null >"$dir/helper.log" 2>&1 &
  local helper=$!
  # Wine 8 makes no symbolic links: the tests ask for Unix ones here.
  export VKTEST_LINK_REQUESTS
  VKTEST_LINK_REQUESTS=$(winpath "$dir/link-requests")
  mkdir -p "$dir/link-requests"
  serve_link_requests "$dir/link-requests" "$dir/helper.stop" &
  local linker=$!
  [ "$1" = "$first_group" ] && registry_export "$prefix" "$dir"
  local started=$SECONDS rc=0
  in_prefix "$prefix" timeout -k 10 "$group_timeout" "$wine" "$tests_exe" "--gtest_filter=$3" \
    "--gtest_output=xml:$(winpath "$dir/report.xml")" "${extra_args[@]}" \
    </dev/null >"$dir/output.log" 2>&1 || rc=$?
  echo "$rc $((SECONDS - started))" >"$dir/status"
  touch "$dir/helper.stop"
  wait "$linker" 2>/dev/null || true
  local _
  for _ in {1..50}; do kill -0 "$helper" 2>/dev/null || break; sleep 0.1; done
  in_prefix "$prefix" "$wineserver" -k 2>/dev/null || true
  trap - EXIT
  rm -rf "$prefix"
}

# serve_link_requests FOLDER STOP: makes the symbolic link of each request
# "N.req" ("target\nlink\n", Unix paths) in FOLDER, answering with "N.done"
# or "N.failed", until the file STOP exists.
serve_link_requests() {
  local request target link
  while [ ! -e "$2" ]; do
    for request in "$1"/*.req; do
      [ -f "$request" ] || continue
      { read -r target; read -r link; } <"$request"
      if ln -s -- "$target" "$link" 2>/dev/null; then
        mv "$request" "${request%.req}.done"
      else
        mv "$request" "${request%.req}.failed"
      fi
    done
    sleep 0.1
  done
}

# registry_export PREFIX DIR: the round-trip fixture through Wine's own reg.exe.
registry_export() {
  if in_prefix "$1" "$wine" reg import "$(winpath "$roundtrip_fixture")" >"$2/reg.log" 2>&1 &&
    in_prefix "$1" "$wine" reg export 'HKCU\Software\VkRoundTrip' \
      "$(winpath "$2/roundtrip-export.reg")" /y >>"$2/reg.log" 2>&1; then
    :
  else
    rm -f "$2/roundtrip-export.reg"
  fi
}

# print_summary LOG: gtest's closing summary.
print_summary() {
  tr -d '\r' <"$1" | awk '/^\[==========\]/ { tail = "" } { tail = tail $0 "\n" } END { printf "%s", tail }'
}

# print_crash LOG: the output from the last test started up to the debugger's
# module list (or the last lines, when no test started).
print_crash() {
  tr -d '\r' <"$1" | awk '
    /^\[ RUN      \]/ { text = ""; started = 1 }
    /^Modules:/ { stopped = 1 }
    !stopped { text = text $0 "\n"; last[NR % 20] = $0 }
    END {
      if (started) { printf "%s", text; exit }
      for (i = NR - 19; i <= NR; i++) if (i > 0 && (i % 20) in last) print last[i % 20]
    }'
}

# count_results REPORT: prints "passed failed skipped" from a gtest XML report.
count_results() {
  awk '
    /<testcase / { if (open) close_case(); open = 1; failed = 0; skipped = / result="skipped"/ }
    /<failure / { failed = 1 }
    /<testcase .*\/>/ || /<\/testcase>/ { close_case() }
    function close_case() {
      if (!open) return
      open = 0
      if (failed) f++; else if (skipped) s++; else p++
    }
    END { printf "%d %d %d\n", p, f, s }
  ' "$1"
}

# print_failures LOG: the output of each failed test, then gtest's summary.
print_failures() {
  tr -d '\r' <"$1" | awk '
    /^\[ RUN      \]/ { body = $0 "\n"; next }
    /^\[       OK \]/ { body = ""; next }
    /^\[  FAILED  \] .*\(/ && body != "" { printf "%s%s\n", body, $0; body = ""; next }
    body != "" { body = body $0 "\n" }
  '
}

first_group=
roundtrip_note=
if [ -n "$filter" ]; then
  roundtrip_note="skipped: a --filter was given"
elif [ ! -f "$roundtrip_fixture" ]; then
  roundtrip_note="skipped: tests/data/registry/roundtrip.reg does not exist yet"
elif [ ! -x "$native_exe" ]; then
  roundtrip_note="skipped: the native test executable $native_exe is not built"
elif [ ${#groups[@]} -gt 0 ]; then
  first_group=01-${groups[0]%% *}
fi

total_passed=0
total_failed=0
status=0
# report_group INDEX NAME COUNT: adds a finished group to the totals and prints it.
report_group() {
  local dir=$run/$1 name=$2 expected=$3 rc=1 seconds=0 passed=0 failed=0 skipped=0
  [ -f "$dir/status" ] && read -r rc seconds <"$dir/status"
  [ -f "$dir/report.xml" ] && read -r passed failed skipped < <(count_results "$dir/report.xml")
  local missing=$((expected - passed - failed - skipped))
  [ "$missing" -lt 0 ] && missing=0
  echo "--- $name: $passed passed, $((failed + missing)) failed$([ "$skipped" -gt 0 ] && echo ", $skipped skipped") ($seconds s)"
  [ -f "$dir/output.log" ] || { echo "!!! $name: the group did not start"; status=1; return; }
  if [ -f "$dir/status-1" ]; then
    local first_rc
    read -r first_rc _ <"$dir/status-1"
    echo "    run twice: the first attempt started no test (code $first_rc), see $dir/output-1.log"
  fi
  if [ "$failed" -gt 0 ]; then print_failures "$dir/output.log"; fi
  if [ -f "$dir/report.xml" ]; then
    print_summary "$dir/output.log"
  else
    print_crash "$dir/output.log"
  fi
  if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
    echo "!!! $name: stopped after $group_timeout s; message boxes seen: $dir/messages.log"
  elif [ "$rc" -ne 0 ] && [ "$failed" -eq 0 ]; then
    echo "!!! $name: vk_tests.exe ended with code $rc"
  fi
  if [ "$missing" -gt 0 ]; then echo "!!! $name: $missing of $expected tests reported no result"; fi
  if [ "$rc" -ne 0 ] || [ "$failed" -gt 0 ] || [ "$missing" -gt 0 ]; then
    echo "    full output: $dir/output.log"
    status=1
  fi
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed + missing))
}

# Up to $jobs groups at once; each is reported in order as it finishes.
next=0
reported=0
while [ $reported -lt ${#groups[@]} ]; do
  while [ $next -lt ${#groups[@]} ] && [ $((next - reported)) -lt "$jobs" ]; do
    read -r name count group_filter <<<"${groups[$next]}"
    run_group "$(printf '%02d' $((next + 1)))-$name" "$name" "$group_filter" &
    group_pids[next]=$!
    next=$((next + 1))
  done
  read -r name count group_filter <<<"${groups[$reported]}"
  wait "${group_pids[$reported]}" || true
  report_group "$(printf '%02d' $((reported + 1)))-$name" "$name" "$count"
  reported=$((reported + 1))
done

# The registry round trip: the fixture imported and exported by Wine's reg.exe,
# then read by the native test.
if [ -n "$first_group" ]; then
  export_file=$run/$first_group/roundtrip-export.reg
  if [ ! -f "$export_file" ]; then
    echo "!!! registry round trip: reg import/export failed, see $run/$first_group/reg.log"
    total_failed=$((total_failed + 1))
    status=1
  else
    rc=0 passed=0 failed=0 skipped=0
    VK_WINE_REG_EXPORT=$export_file "$native_exe" --gtest_filter='RegFileWineExport*' \
      "--gtest_output=xml:$run/roundtrip-report.xml" >"$run/roundtrip.log" 2>&1 || rc=$?
    if [ -f "$run/roundtrip-report.xml" ]; then
      read -r passed failed skipped < <(count_results "$run/roundtrip-report.xml")
    fi
    echo "--- registry round trip: $passed passed, $failed failed"
    if [ $((passed + failed + skipped)) -eq 0 ] && [ "$rc" -eq 0 ]; then
      echo "    (the native build has no RegFileWineExport test yet)"
    fi
    if [ "$rc" -ne 0 ] || [ "$failed" -gt 0 ]; then
      print_failures "$run/roundtrip.log"
      echo "    full output: $run/roundtrip.log"
      [ "$failed" -eq 0 ] && failed=1
      status=1
    fi
    total_passed=$((total_passed + passed))
    total_failed=$((total_failed + failed))
  fi
else
  echo "--- registry round trip: ${roundtrip_note:-skipped: no test group ran}"
fi

echo "wine-tests: $((SECONDS - started)) s in all; reports in $run"
echo "wine: $total_passed passed, $total_failed failed"
exit $status
