#!/usr/bin/env bash
# Sets up, builds (Release) and starts Tessera on the bundled corundum example.
# Without a display it says so and prints what the Control Window would show.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/bootstrap.sh
build=${TESSERA_BUILD_DIR:-build/release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSERA_TESTS=OFF -DTESSERA_BENCH=OFF >/dev/null
cmake --build "$build" --target tessera tessera-cli tessera_data
example="$PWD/examples/corundum.tsr"
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  exec "$build/bin/tessera" "$example"
fi
echo "No display found: showing the example with tessera-cli instead."
echo
"$build/bin/tessera-cli" show "$example"
