#!/usr/bin/env bash
# Builds and runs the whole suite: a normal build, an ASan+UBSan build, the
# bounded fuzz runs and the model viewer's loading tests under
# ThreadSanitizer. GUI tests run under xvfb-run. Exits non-zero on any
# failure.
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
# One X server for the whole parallel run; without -noreset it resets each
# time its last client leaves, and a test connecting just then fails.
xvfb_args="-screen 0 1280x1024x24 -noreset"

run_suite() {
  local dir=$1; shift
  echo "== Building $dir"
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null || return 1
  cmake --build "$dir" -j "$jobs" || return 1
  echo "== Testing $dir"
  xvfb-run -a -s "$xvfb_args" ctest --test-dir "$dir" -j "$jobs" --output-on-failure --timeout 300
}

# Every reader of outside input fuzzed for a bounded number of inputs over
# its seed corpus (clang, libFuzzer with ASan and UBSan); only the
# libraries and the fuzz targets are built.
run_fuzz() {
  local dir=build-fuzz
  echo "== Building $dir"
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DOV_FUZZ=ON -DOV_BUILD_GUI=OFF >/dev/null || return 1
  cmake --build "$dir" -j "$jobs" || return 1
  echo "== Fuzzing $dir"
  ctest --test-dir "$dir" -j "$jobs" --output-on-failure --timeout 300
}

# The model viewer's loading tests under ThreadSanitizer. Qt, Mesa and the
# libraries under them are not instrumented; tests/tsan.supp makes TSan
# ignore the calls they make into its interceptors (see there for why each);
# every access of our own code is still checked.
run_tsan() {
  local dir=build-tsan
  echo "== Building $dir"
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOV_TSAN=ON >/dev/null || return 1
  cmake --build "$dir" -j "$jobs" --target modelviewer_tests || return 1
  echo "== Testing $dir (ThreadSanitizer)"
  TSAN_OPTIONS="halt_on_error=1:detect_deadlocks=0:second_deadlock_stack=1:suppressions=$PWD/tests/tsan.supp" \
    xvfb-run -a -s "$xvfb_args" ctest --test-dir "$dir" --output-on-failure --timeout 300 --no-tests=error \
    -R '^(LoadTest|LoaderTest|LoadingStressTest)\.'
}

# The normal build also builds every benchmark program and the generator of
# their inputs (none is run; the suite checks one generated model), so that
# a change of a library's interface cannot leave them broken.
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOV_BUILD_BENCH=ON || status=1
run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DOV_SANITIZE=ON || status=1
run_fuzz || status=1
run_tsan || status=1

if [ $status -ne 0 ]; then echo "TESTS FAILED"; else echo "ALL TESTS PASSED"; fi
exit $status
