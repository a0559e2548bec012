#!/usr/bin/env bash
# The soak test of the real window, run long: a seeded random player presses,
# drags and hovers over the cards, uses the menus and answers every dialog on
# the offscreen table, with the table checked after every event.
#   bench/soak.sh [--sanitize] [SECONDS [SEED...]]
# SECONDS per seed (default 600); one run per SEED (default: one random seed).
# A failing run prints its seed and the last events; the same seed repeats the
# same choices. With --sanitize it runs the AddressSanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."

dir=build/soak
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCARDOVIA_TESTS=ON)
if [ "${1:-}" = "--sanitize" ]; then
  shift
  dir=build/soak-sanitize
  flags=(-DCMAKE_BUILD_TYPE=Debug -DCARDOVIA_SANITIZE=ON -DCARDOVIA_TESTS=ON)
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:halt_on_error=1"
  export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
seconds=${1:-600}
shift || true
seeds=("$@")
[ ${#seeds[@]} -gt 0 ] || seeds=("$((RANDOM * 32768 + RANDOM))")

cmake -S . -B "$dir" -G Ninja "${flags[@]}" > /dev/null
cmake --build "$dir" --target cardovia_gui_tests > /dev/null

export QT_QPA_PLATFORM=offscreen
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"

failed=()
for seed in "${seeds[@]}"; do
  echo "soak.sh: seed $seed for $seconds s"
  # A window that stops answering is ended by the time limit and counts as failed.
  if ! CARDOVIA_SOAK_SECONDS=$seconds CARDOVIA_SOAK_SEED=$seed timeout $((seconds + 120)) \
      "$dir/tests/cardovia_gui_tests" --gtest_filter='SoakTest.*'; then
    failed+=("$seed")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "soak.sh: FAILED for seed(s) ${failed[*]}" >&2
  exit 1
fi
echo "soak.sh: ${#seeds[@]} run(s) of $seconds s passed"
