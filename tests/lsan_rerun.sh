#!/usr/bin/env bash
# Runs a test program of the sanitizer build. LeakSanitizer's stop-the-world
# tracer now and then crashes at exit, after the tests have run: for a dynamic
# TLS block that happens to start 16 bytes into a page it takes a guess meant
# for old C libraries and reads the block's bounds from the heap chunk header
# in front of it, then scans from a near-null address. That crash is a fault
# of the tool, not a leak. Where the blocks land is decided by the heap
# layout, which is the same from run to run, so the program is run again with
# a larger minimum redzone, which moves every heap block. A leak report is
# never rerun, and a failing test fails again on the next run.
set -u
err=$(mktemp)
trap 'rm -f "$err"' EXIT
tracer_crashed() {
  grep -q '^Tracer caught signal' "$err" \
    && grep -q 'LeakSanitizer has encountered a fatal error' "$err" \
    && ! grep -q 'LeakSanitizer: detected memory leaks' "$err"
}
base_options=${ASAN_OPTIONS:-}
rc=0
for redzone in "" 32 64 128; do
  if [ -n "$redzone" ]; then
    echo "LeakSanitizer's tracer crashed at exit; running the program again with redzone=$redzone" >&2
    export ASAN_OPTIONS="${base_options:+$base_options:}redzone=$redzone"
  fi
  # Standard output passes through untouched (test discovery reads it); a
  # copy of standard error is kept to look for the tracer's crash.
  { "$@" 2>&1 1>&3 3>&- | tee "$err" 3>&- >&2; rc=${PIPESTATUS[0]}; } 3>&1
  if [ "$rc" -eq 0 ] || ! tracer_crashed; then
    break
  fi
done
exit "$rc"
