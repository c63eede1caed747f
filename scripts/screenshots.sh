#!/usr/bin/env bash
# Screenshots of the main window on the examples and of every dialog at its default
# size, taken under a virtual X display (xvfb-run) by the GUI test binary.
#   scripts/screenshots.sh [OUTPUT_FOLDER] [BUILD_FOLDER]
# Defaults: build/test/screenshots and build/test (the ./test.sh build).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${2:-${TESSERA_BUILD_DIR:-build/test}}
out=${1:-$build/screenshots}
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "screenshots: xvfb-run is not installed - skipped (scripts/bootstrap.sh installs it)"
  exit 0
fi
if grep -q '^TESSERA_GUI:BOOL=OFF' "$build/CMakeCache.txt" 2>/dev/null; then
  echo "screenshots: $build is built without the desktop program - skipped"
  exit 0
fi
tests="$build/bin/tessera_gui_tests"
if [[ ! -x "$tests" ]]; then
  cmake --build "$build" --target tessera_gui_tests
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -f "$out"/*.png
TESSERA_SCREENSHOT_DIR="$out" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x1024x24" "$tests" --gtest_filter='Screenshots.*' --gtest_brief=1
count=$(find "$out" -name '*.png' | wc -l)
echo "screenshots: $count pictures in $out"
[[ $count -gt 0 ]]
