#!/usr/bin/env bash
# Soak test of a long session: N open-view-close cycles of one program, driven
# with xdotool on a private Xvfb screen with openbox, as a user would work
# through many models in one sitting. Every K cycles it prints the
# program's resident memory (anonymous and file pages), open descriptors and
# threads; at the end the growth per cycle after the 10th, and the memory
# before the first open and after the first close.
#
#   bench/soak.sh [OPTIONS] ostrel [MODEL...]   open, rotate, close
#   bench/soak.sh [OPTIONS] varnek [RUN.in...]  open, rotate, one stress diagram
#       the files are taken in turn, one a cycle
#   --cycles N   cycles (50)      --every K   a line every K cycles (10)
#   --build DIR  the build (build)
#   --threads    with every line, the threads by name and where the
#                descriptors lead (sockets, pipes, devices, files)
#   --heaptrack FILE  runs the program under heaptrack, which writes FILE.zst;
#                `heaptrack_print -d A.zst B.zst` of a short and a long soak
#                shows where the extra cycles kept their memory
#
# Defaults: examples/frame.dat; examples/run/frame.in and sway.in. Settings
# go to a temporary home, never the user's.
set -euo pipefail
cd "$(dirname "$0")/.."
cycles=50
every=10
build=build
heapfile=
threads=0
while [ $# -gt 0 ]; do
  case $1 in
    --cycles) cycles=$2; shift 2 ;;
    --every) every=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --heaptrack) heapfile=$(realpath "$2"); shift 2 ;;
    --threads) threads=1; shift ;;
    *) break ;;
  esac
done
program=${1:?ostrel or varnek}
shift
case $program in
  ostrel)
    exe=$build/modelviewer/Ostrel
    [ $# -gt 0 ] || set -- examples/frame.dat ;;
  varnek)
    exe=$build/resultsviewer/Varnek
    [ $# -gt 0 ] || set -- examples/run/frame.in examples/run/sway.in ;;
  *) echo "unknown program $program" >&2; exit 2 ;;
esac
[ -x "$exe" ] || { echo "$exe: not built" >&2; exit 2; }
files=()
for f in "$@"; do files+=("$(realpath "$f")"); done

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display of our own: the server picks a free number and tells it.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$work/display")
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 0.5

if [ -n "$heapfile" ]; then
  # heaptrack starts the program as its child: the soak watches the child.
  heaptrack -o "$heapfile" "$exe" >"$work/out.txt" 2>&1 &
  wrapper=$!
  pids+=($wrapper)
  app=
  for _ in $(seq 100); do
    app=$(pgrep -P "$wrapper" -f "$exe" || true)
    [ -n "$app" ] && break
    sleep 0.1
  done
  [ -n "$app" ] || { echo "heaptrack did not start $exe" >&2; exit 1; }
  pids=("$app" "${pids[@]}")
else
  "$exe" >"$work/out.txt" 2>&1 &
  app=$!
  pids+=($app)
fi

cpu_ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
# Waits until the program has used no processor time for `quiet` seconds
# (loading threads included): the picture is then finished.
settle() {
  local quiet=${1:-0.6} last now same=0
  last=$(cpu_ticks)
  while :; do
    sleep 0.2
    kill -0 "$app" 2>/dev/null || { echo "the program ended" >&2; cat "$work/out.txt" >&2; exit 1; }
    now=$(cpu_ticks)
    if [ "$now" = "$last" ]; then
      same=$((same + 1))
      [ "$(echo "$same * 0.2 >= $quiet" | bc)" = 1 ] && return
    else
      same=0
      last=$now
    fi
  done
}
status() { awk -v k="$1:" '$1 == k {print $2}' "/proc/$app/status"; }
rss_kb() { status VmRSS; }
# Resident memory split into anonymous pages (heap, driver buffers) and
# file pages (the program's and the driver's code).
report() {
  smaps "$1"
  printf '%-6s %10s %10s %10s %5s %7s\n' "$1" "$(rss_kb)" "$(status RssAnon)" "$(status RssFile)" \
    "$(ls "/proc/$app/fd" | wc -l)" "$(status Threads)"
  if ((threads)); then
    # Thread names counted, e.g. "llvmpipe-0 x8"; descriptor targets with
    # the inode numbers dropped, so that alike ones count together.
    echo "       threads: $(cat /proc/$app/task/*/comm 2>/dev/null | sort | uniq -c |
      awk '{n = $1; $1 = ""; sub(/^ /, ""); printf "%s%s", sep, $0 (n > 1 ? " x" n : ""); sep = ", "}')"
    echo "       fds: $(for d in /proc/$app/fd/*; do readlink "$d"; done 2>/dev/null |
      sed 's/\[[0-9]*\]//' | sort | uniq -c |
      awk '{n = $1; $1 = ""; sub(/^ /, ""); printf "%s%s", sep, $0 (n > 1 ? " x" n : ""); sep = ", "}')"
  fi
}
# SOAK_SMAPS=DIR keeps the program's memory map (/proc/PID/smaps) at every
# report, to see which mapping grows: DIR/smaps-<cycle>.txt.
smaps() {
  if [ -n "${SOAK_SMAPS:-}" ]; then cp "/proc/$app/smaps" "$SOAK_SMAPS/smaps-$1.txt"; fi
}
# SOAK_SHOTS=DIR keeps a screenshot of every step of the first cycles.
shot() {
  if [ -n "${SOAK_SHOTS:-}" ] && ((c <= 2)); then import -window root "$SOAK_SHOTS/$c-$1.png"; fi
}
key() { xdotool key --clearmodifiers "$@"; sleep 0.15; }

xdotool search --sync --pid "$app" --onlyvisible --name . >/dev/null
# The splash of the model viewer goes by itself.
sleep 3
settle 1.0
win=$(xdotool search --onlyvisible --pid "$app" --name . | tail -1)
xdotool windowactivate --sync "$win" 2>/dev/null || true

# Opens a file through the program's own dialog (typing its path).
open_file() {
  key ctrl+o
  local dlg
  dlg=$(xdotool search --sync --onlyvisible --name '^開く$' | head -1)
  xdotool windowactivate --sync "$dlg" 2>/dev/null || true
  sleep 0.3
  xdotool type --delay 5 "$1"
  sleep 0.2
  xdotool key Return
  sleep 0.5
  settle
}

before=$(rss_kb)
printf '%-6s %10s %10s %10s %5s %7s\n' cycle rss_kB anon_kB file_kB fds threads
report start
rss10=0
anon10=0
for ((c = 1; c <= cycles; ++c)); do
  f=${files[$(((c - 1) % ${#files[@]}))]}
  open_file "$f"
  # The view has the focus: turn the model.
  shot opened
  for k in Left Left Up Right; do key "$k"; done
  settle 0.4
  shot turned
  if [ "$program" = varnek ]; then
    # One stress diagram: the menu, then the step dialog as it comes.
    key alt+v
    key o
    sleep 0.5
    xdotool key Return
    sleep 0.3
    settle
    shot diagram
  else
    key alt+f
    key c
    settle
    shot closed
  fi
  if [ "$c" = 1 ]; then after_first=$(rss_kb); report first; fi
  if [ "$c" = 10 ]; then
    rss10=$(rss_kb)
    anon10=$(status RssAnon)
  fi
  if ((c % every == 0)); then report "$c"; fi
done
last=$(rss_kb)
echo "resident before the first open: $before kB, after the first close: $after_first kB"
if ((cycles > 10)); then
  # The anonymous pages alone: the system may drop file pages of a busy
  # machine at any time, which the resident figure then follows.
  echo "growth per cycle after the 10th: $(((last - rss10) / (cycles - 10))) kB" \
    "(anonymous $((($(status RssAnon) - anon10) / (cycles - 10))) kB)"
fi
