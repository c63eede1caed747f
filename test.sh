#!/usr/bin/env bash
# Sets up, builds (warnings as errors) and runs every test. Non-zero exit on any failure.
# With --full (CI passes it): also the whole test suite built with AddressSanitizer and
# UndefinedBehaviorSanitizer (desktop program left out), and a short run of every fuzz target.
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

if [ "$full" = 1 ]; then
  sanitize=${TESSERA_SANITIZE_BUILD_DIR:-build/sanitize}
  cmake -S . -B "$sanitize" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSERA_WERROR=ON -DTESSERA_SANITIZE=ON \
    -DTESSERA_GUI=OFF -DTESSERA_BENCH=OFF >/dev/null
  cmake --build "$sanitize" --target tessera_tests
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$sanitize" --output-on-failure -j "$(nproc)"
  ./scripts/fuzz_smoke.sh "${TESSERA_FUZZ_SECONDS:-5}"
fi
