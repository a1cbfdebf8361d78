#!/usr/bin/env bash
# Builds and runs the whole suite: a normal build, then an ASan+UBSan build.
# GUI tests run under xvfb-run. Exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
ov_install_packages || { echo "package installation failed"; exit 1; }
ov_comma_locale

jobs=$(nproc)
status=0
export QT_QPA_PLATFORM=xcb
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

run_suite() {
  local dir=$1; shift
  echo "== Building $dir"
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null || return 1
  cmake --build "$dir" -j "$jobs" || return 1
  echo "== Testing $dir"
  xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$dir" -j "$jobs" --output-on-failure --timeout 300
}

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo || status=1
run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DOV_SANITIZE=ON || status=1

if [ $status -ne 0 ]; then echo "TESTS FAILED"; else echo "ALL TESTS PASSED"; fi
exit $status
