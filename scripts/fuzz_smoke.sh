#!/usr/bin/env bash
# Builds every fuzz target (fuzz/fuzz_*.cpp; clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build/fuzz and runs each for a few seconds from its
# seeds. Non-zero exit when a target finds a crash, a hang, a leak or a sanitizer report.
#
#   scripts/fuzz_smoke.sh [seconds per target, default 5] [target names...]
#
# Seeds: fuzz/corpus/NAME/ for target fuzz_NAME, plus the files of the extensions the
# target names on its "// fuzz-seeds:" line, found in the fixtures, the examples, the
# data folder and ../shared/corpus. Findings go to build/fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-5}
shift || true
build=${TESSERA_FUZZ_BUILD_DIR:-build/fuzz}
# A build folder already set up (./test.sh --full adds the tests to it) keeps its options.
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSERA_FUZZ=ON \
    -DTESSERA_GUI=OFF -DTESSERA_TESTS=OFF -DTESSERA_BENCH=OFF >/dev/null
fi
cmake --build "$build"

seed_folders=(tests/fixtures examples data ../shared/corpus)
mkdir -p "$build/findings"
failed=()
for src in fuzz/fuzz_*.cpp; do
  name=$(basename "$src" .cpp)
  short=${name#fuzz_}
  if [ $# -gt 0 ] && [[ ! " $* " =~ " $short " ]]; then continue; fi
  seeds="$build/seeds/$short"
  work="$build/work/$short"
  rm -rf "$seeds"
  mkdir -p "$seeds" "$work"
  if [ -d "fuzz/corpus/$short" ]; then cp fuzz/corpus/"$short"/* "$seeds"/ 2>/dev/null || true; fi
  for ext in $(sed -n 's|^// fuzz-seeds: *||p' "$src"); do
    for folder in "${seed_folders[@]}"; do
      [ -d "$folder" ] || continue
      # Named by content: files of the same name in different folders all count.
      find -L "$folder" -type f -iname "*.$ext" -size -64k -print0 |
        while IFS= read -r -d '' f; do cp "$f" "$seeds/$(sha1sum <"$f" | cut -c1-16).$ext"; done
    done
  done
  echo "== $short: $(ls "$seeds" | wc -l) seeds, $seconds s"
  if ! "$build/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/findings/$short-" "$work" "$seeds" >"$build/findings/$short.log" 2>&1; then
    failed+=("$short")
    tail -n 40 "$build/findings/$short.log"
  fi
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$build/findings/$short.log" | tr '\n' ' '
  echo
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzz findings in: ${failed[*]} (inputs in $build/findings/)"
  exit 1
fi
echo "Fuzz smoke run: no findings"
