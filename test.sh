#!/usr/bin/env bash
# Sets up, builds (warnings as errors) and runs every test. Non-zero exit on any failure.
# With --full (CI passes it): also the whole test suite built with clang, AddressSanitizer
# and UndefinedBehaviorSanitizer (desktop program left out), and a short run of every fuzz
# target from the same build.
set -euo pipefail
cd "$(dirname "$0")"
full=0
if [ "${1:-}" = "--full" ]; then full=1; fi
./scripts/bootstrap.sh
build=${TESSERA_BUILD_DIR:-build/test}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSERA_WERROR=ON \
  ${TESSERA_CMAKE_ARGS:-} >/dev/null
cmake --build "$build"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
# One picture of the main window and of every dialog (skipped without Xvfb).
./scripts/screenshots.sh "$build/screenshots" "$build"

if [ "$full" = 1 ]; then
  # One clang build serves both: the tests and the fuzz targets share the core built
  # with the sanitizers (and the fuzzer's coverage hooks, which the tests ignore).
  fuzz=${TESSERA_FUZZ_BUILD_DIR:-build/fuzz}
  cmake -S . -B "$fuzz" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSERA_WERROR=ON \
    -DTESSERA_FUZZ=ON -DTESSERA_SANITIZE=ON -DTESSERA_TESTS=ON -DTESSERA_GUI=OFF -DTESSERA_BENCH=OFF >/dev/null
  cmake --build "$fuzz"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$fuzz" --output-on-failure -j "$(nproc)"
  # The smoke run looks for crashes, hangs, leaks and sanitizer reports, and checks that
  # every document a target opens or imports is saved, reopened and shown identically.
  TESSERA_FUZZ_BUILD_DIR="$fuzz" ./scripts/fuzz_smoke.sh "${TESSERA_FUZZ_SECONDS:-5}"
fi
