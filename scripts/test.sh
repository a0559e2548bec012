#!/usr/bin/env bash
# Sets up, builds and runs every test headless (the screen reader's on a private
# X server and accessibility bus). With --sanitize the same tests
# run built with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
CARDOVIA_WITH_READER=1 bash scripts/setup.sh

dir=build/test
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build/sanitize
  flags=(-DCMAKE_BUILD_TYPE=Debug -DCARDOVIA_SANITIZE=ON)
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:halt_on_error=1"
  export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi

export QT_QPA_PLATFORM=offscreen
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"

cmake -S . -B "$dir" -G Ninja "${flags[@]}" > /dev/null
cmake --build "$dir"
cd "$dir"
ctest --output-on-failure --timeout 600 -j 2
