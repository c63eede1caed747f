#!/usr/bin/env bash
# Sets up, builds (warnings as errors) and runs every test. Non-zero exit on any failure.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/bootstrap.sh
build=${TESSERA_BUILD_DIR:-build/test}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSERA_WERROR=ON \
  ${TESSERA_CMAKE_ARGS:-} >/dev/null
cmake --build "$build"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
# One picture of the main window and of every dialog (skipped without Xvfb).
./scripts/screenshots.sh "$build/screenshots" "$build"
