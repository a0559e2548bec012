#!/usr/bin/env bash
# Sets up, builds (Release) and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DCARDOVIA_TESTS=OFF \
  -DCARDOVIA_BENCH=OFF > /dev/null
cmake --build build/release --target cardovia
exec build/release/bin/cardovia
