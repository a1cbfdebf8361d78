#!/usr/bin/env bash
# Runs a test program of the sanitizer build. LeakSanitizer's own
# stop-the-world tracer now and then crashes at exit when many threads (Qt,
# the GL driver) are alive, after the tests have run; that crash is a fault
# of the tool, not a leak, so the program is run once more. A leak report
# is never rerun, and a failing test fails again on the second run.
set -u
err=$(mktemp)
trap 'rm -f "$err"' EXIT
# Standard output passes through untouched (test discovery reads it); a
# copy of standard error is kept to look for the tracer's crash.
{ "$@" 2>&1 1>&3 3>&- | tee "$err" 3>&- >&2; rc=${PIPESTATUS[0]}; } 3>&1
if [ "$rc" -ne 0 ] && grep -q '^Tracer caught signal' "$err" \
    && grep -q 'LeakSanitizer has encountered a fatal error' "$err" \
    && ! grep -q 'LeakSanitizer: detected memory leaks' "$err"; then
  echo "LeakSanitizer's tracer crashed at exit; running the program once more" >&2
  "$@"
  rc=$?
fi
exit "$rc"
