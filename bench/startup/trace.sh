#!/bin/bash
# Where the start-up time goes, step by step: runs the start-up benchmark's driver under Wine's
# own call trace (WINEDEBUG=+timestamp,+pid,+loaddll,+relay) and prints, for Quendari.exe and for
# the floor, the median time of each step in ms after the driver's CreateProcessW. A step is the
# first call or DLL load that marks it (see the tables below). Wine's timestamps have 1 ms
# resolution and the trace slows every traced call a little: read the steps against each other
# and against the floor, and take the benchmark's own figures for the totals.
#
#   bench/startup/trace.sh <build-dir> [--runs N]      (default 5 pairs after the warm-up pair)
#
# The raw trace is kept in <build-dir>/bench/startup/startup_trace.txt. Like run.sh, it changes
# the runtime's registry entry in the folder's prefix while it runs.
set -euo pipefail

if [[ $# -lt 1 ]]; then
  echo "usage: $0 <build-dir> [--runs N]" >&2
  exit 2
fi
build_dir=$(cd "$1" && pwd)
shift
runs=5
if [[ $# -eq 2 && $1 == --runs ]]; then runs=$2; fi
root=$(cd "$(dirname "$0")/../.." && pwd)
trace=$build_dir/bench/startup/startup_trace.txt

cmake --build "$build_dir" --target quendari standin_runtime startup_minimal_window startup_bench \
  -j2 >/dev/null

# Traced: the calls the driver, the two programs and the runtime's DLL make, except those into
# the C runtime, ntdll and a few kernel32 helpers called thousands of times. The lists live in
# the prefix only while the trace runs.
debug_key='HKCU\Software\Wine\Debug'
callers='startup_bench.exe;Quendari.exe;minimal_window.exe;EmbeddedBrowserWebView.dll'
noisy='ntdll.*;msvcrt.*;ucrtbase.*;kernel32.TlsGetValue;kernel32.GetLastError;'
noisy+='kernel32.SetLastError;kernel32.EnterCriticalSection;kernel32.LeaveCriticalSection;'
noisy+='kernel32.HeapFree;kernel32.HeapAlloc;kernel32.CompareStringOrdinal;kernel32.lstrcmpiW;'
noisy+='kernel32.CompareStringW'
wine_reg() { "$root/tools/wine/run" "$build_dir" reg "$@" >/dev/null; }
wine_reg add "$debug_key" /v RelayFromInclude /t REG_SZ /d "$callers" /f
wine_reg add "$debug_key" /v RelayExclude /t REG_SZ /d "$noisy" /f
trap 'wine_reg delete "$debug_key" /v RelayFromInclude /f; wine_reg delete "$debug_key" /v RelayExclude /f' EXIT

QUENDARI_WINEDEBUG=+timestamp,+pid,+loaddll,+relay \
  "$root/tools/wine/run" "$build_dir" "$build_dir/bench/startup/startup_bench.exe" --runs "$runs" \
  >/dev/null 2>"$trace"

# Each step: its name, then the pattern of the trace line that marks it: the first such line in
# the process, "#2" after it for the second, ">" before it for the first after the step above.
export QUENDARI_STEPS='
process created (executable mapped)|Loaded L"[^"]*Quendari\.exe"
static imports mapped (shell32 last)|Loaded L"[^"]*SHELL32\.dll"
WinMain: single-instance mutex|Call KERNEL32\.CreateMutexW
diagnostic log: LocalAppData folder|Call shell32\.SHGetKnownFolderPath
diagnostic log: file opened|Call KERNEL32\.CreateFileW\(.*quendari\.log
loader DLL looked for|Call KERNEL32\.LoadLibraryExW\(.*WebView2Loader\.dll
runtime looked up (registry)|Call advapi32\.RegOpenKeyExW\(.*EdgeUpdate
data folder (RoamingAppData)|Call shell32\.SHGetKnownFolderPath#2
COM apartment (CoInitializeEx)|Call combase\.CoInitializeEx
winex11.drv loaded|Loaded L"[^"]*winex11\.drv"
uxtheme.dll loaded|Loaded L"[^"]*uxtheme\.dll"
DPI awareness set|Call user32\.SetProcessDpiAwarenessContext
class icons loaded|Call user32\.LoadImageW\(140000000,
main window class registered|Call user32\.RegisterClassExW
main window: CreateWindowExW|Call user32\.CreateWindowExW\(00000000,[0-9a-f]+ L"webview"
main window: WM_NCCREATE|Call window proc 0000000140[0-9A-F]+ \(hwnd=[0-9A-F]+,msg=WM_NCCREATE
dwmapi.dll loaded (dark title bar only)|Loaded L"[^"]*dwmapi\.dll"
browser parent window created|Call user32\.CreateWindowExW\([0-9a-f]+,[0-9a-f]+ L"webview_widget"
message window created|Call user32\.CreateWindowExW\([0-9a-f]+,[0-9a-f]+ L"webview_message"
window.txt read|Call KERNEL32\.CreateFileW\(.*window\.txt
main window placed and shown|Call user32\.Set(WindowPlacement|WindowPos)\(
main window erased|Call window proc 0000000140[0-9A-F]+ \(hwnd=[0-9A-F]+,msg=WM_ERASEBKGND
main window focused|Call user32\.SetFocus
runtime DLL load asked|Call KERNEL32\.LoadLibraryExW\(.*EmbeddedBrowserWebView\.dll
runtime DLL loaded|Loaded L"[^"]*EmbeddedBrowserWebView\.dll"
browser window created (stand-in)|L"quendari_standin_browser"
browser parent shown|Call user32\.ShowWindow\(.*\) ret=1400
browser window WM_PAINT (stand-in)|Call window proc 0000000[2-9A-F][0-9A-F]+ \(hwnd=[0-9A-F]+,msg=WM_PAINT
browser window painted (first paint)|>Ret  user32\.EndPaint\(\) retval=[0-9a-f]+ ret=[2-9a-f]
page-marks script added|Call KERNEL32\.MultiByteToWideChar\(.*sessionStorage
Navigate (start URL converted)|Call KERNEL32\.MultiByteToWideChar\(0000fde9,[0-9a-f]+,[0-9a-f]+ "https://
notification area set up|Call user32\.RegisterWindowMessageW\(.*TaskbarCreated
256-pixel icon set|Call user32\.SendMessageW\([0-9a-f]+,00000080,00000001,
'
export FLOOR_STEPS='
process created (executable mapped)|Loaded L"[^"]*minimal_window\.exe"
static imports mapped (gdi32 last)|Loaded L"[^"]*(GDI32|gdi32)\.dll"
WinMain|Call KERNEL32\.GetEnvironmentVariableW
winex11.drv loaded|Loaded L"[^"]*winex11\.drv"
uxtheme.dll loaded|Loaded L"[^"]*uxtheme\.dll"
window class registered|Call user32\.RegisterClassExW
window: CreateWindowExW|Call user32\.CreateWindowExW
window: WM_NCCREATE|Call window proc 0000000140[0-9A-F]+ \(hwnd=[0-9A-F]+,msg=WM_NCCREATE
window shown (ShowWindow)|Call user32\.ShowWindow
window erased|Call window proc 0000000140[0-9A-F]+ \(hwnd=[0-9A-F]+,msg=WM_ERASEBKGND
window painted (stamp taken)|Call KERNEL32\.GetSystemTimePreciseAsFileTime
'
awk 'function load_steps(text, program,    lines, count, i, bar, n) {
  count = split(text, lines, "\n")
  for (i = 1; i <= count; i++) {
    if (lines[i] == "") continue
    bar = index(lines[i], "|")
    n = ++step_count[program]
    step_name[program, n] = substr(lines[i], 1, bar - 1)
    step_pattern[program, n] = substr(lines[i], bar + 1)
    step_nth[program, n] = 1
    step_after_previous[program, n] = 0
    if (step_pattern[program, n] ~ /^>/) {
      step_after_previous[program, n] = 1
      step_pattern[program, n] = substr(step_pattern[program, n], 2)
    }
    if (step_pattern[program, n] ~ /#2$/) {
      step_nth[program, n] = 2
      sub(/#2$/, "", step_pattern[program, n])
    }
  }
}
function median(program, n,    count, values, i, j, swap) {
  count = 0
  for (i = 1; i <= runs[program]; i++) {
    if ((program, i, n) in at) values[++count] = at[program, i, n]
  }
  if (count < runs[program]) return -1
  for (i = 2; i <= count; i++) {
    for (j = i; j > 1 && values[j - 1] > values[j]; j--) {
      swap = values[j]; values[j] = values[j - 1]; values[j - 1] = swap
    }
  }
  return count % 2 ? values[(count + 1) / 2] : (values[count / 2] + values[count / 2 + 1]) / 2
}
function report(program, title,    n, m, previous) {
  printf "\n%s: median of %d runs, ms after CreateProcessW\n\n", title, runs[program]
  printf "| %-44s | %7s | %7s |\n", "step", "median", "+prev"
  printf "|----------------------------------------------|--------:|--------:|\n"
  previous = 0
  for (n = 1; n <= step_count[program]; n++) {
    m = median(program, n)
    if (m < 0) continue
    printf "| %-44s | %7.1f | %7.1f |\n", step_name[program, n], m, m - previous
    previous = m
  }
}
BEGIN {
  load_steps(ENVIRON["QUENDARI_STEPS"], "quendari")
  load_steps(ENVIRON["FLOOR_STEPS"], "floor")
}
{
  split($0, field, ":")
  time = field[1] * 1000
  pid = field[2]
  if ($0 ~ /Call KERNEL32\.CreateProcessW\(/) {
    if ($0 ~ /Quendari\.exe/) pending = "quendari"
    else if ($0 ~ /minimal_window\.exe/) pending = "floor"
    else pending = ""
    started = time
    next
  }
  if (pending != "" && $0 ~ /trace:loaddll:.*Loaded L".*\.exe"/ && !(pid in program_of)) {
    program_of[pid] = pending
    run_of[pid] = ++runs[pending]
    start_of[pid] = started
    pending = ""
  }
  if (!(pid in program_of)) next
  program = program_of[pid]
  run = run_of[pid]
  # The first pair warms the caches up: not counted.
  if (run == 1) next
  for (n = 1; n <= step_count[program]; n++) {
    if ((program, run - 1, n) in at) continue
    if (step_after_previous[program, n] && !((program, run - 1, n - 1) in at)) continue
    if ($0 ~ step_pattern[program, n]) {
      if (++seen[program, run, n] == step_nth[program, n]) {
        at[program, run - 1, n] = time - start_of[pid]
      }
    }
  }
}
END {
  runs["quendari"]--
  runs["floor"]--
  report("floor", "Floor (minimal_window.exe)")
  report("quendari", "Quendari.exe")
}
' "$trace"
