#!/bin/sh
# Bounded fuzz run of one target over its seed corpus:
#   run_fuzz.sh <fuzzer> <seed corpus> <work dir> <runs> <max seconds> <dictionary>
# New inputs go to the (emptied) work dir, never into the seed corpus; a
# finding is written there as crash-*, leak-*, timeout-* or oom-* and the
# run fails. An input that runs for 30 s counts as a hang: some legal but
# huge counts take seconds under the sanitizers on a busy machine.
set -u
fuzzer=$1 corpus=$2 work=$3 runs=$4 seconds=$5 dict=$6
rm -rf "$work"
mkdir -p "$work/new" "$work/findings" || exit 1
# Findings of leaks and undefined behaviour must end the run.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=1"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}print_stacktrace=1:halt_on_error=1"
# A fixed seed makes the suite's runs follow the same inputs on every
# machine, so a red run can be reproduced; OV_FUZZ_SEED explores others.
exec "$fuzzer" -seed="${OV_FUZZ_SEED:-1}" -runs="$runs" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
  -close_fd_mask=1 -print_final_stats=1 -dict="$dict" -artifact_prefix="$work/findings/" \
  "$work/new" "$corpus"
