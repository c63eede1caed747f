#!/usr/bin/env bash
# The README's tour pictures (docs/screenshots/): the desktop program on the
# corundum example under a virtual X display (xvfb-run), taken by the GUI test
# Tour.MainWindowsOnTheExample.
#   scripts/tour_screenshots.sh [OUTPUT_FOLDER] [BUILD_FOLDER]
# Defaults: docs/screenshots and build/test (the ./test.sh build).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screenshots}
build=${2:-${TESSERA_BUILD_DIR:-build/test}}
command -v xvfb-run >/dev/null || { echo "tour_screenshots: xvfb-run missing (scripts/bootstrap.sh installs it)" >&2; exit 1; }
cmake --build "$build" --target tessera_gui_tests >/dev/null
mkdir -p "$out"
out=$(cd "$out" && pwd)
TESSERA_TOUR_DIR="$out" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bin/tessera_gui_tests" --gtest_filter='Tour.*' --gtest_brief=1
ls "$out"/*.png
