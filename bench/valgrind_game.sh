#!/usr/bin/env bash
# A headless whole game under valgrind's memcheck: invalid reads and writes,
# uses of uninitialised values and leaks of the game's own procedures.
#   bench/valgrind_game.sh [GAMES]    (default 1; a game takes about a minute)
# Exits with 1 when memcheck reports an error or a definite or indirect leak.
set -euo pipefail
cd "$(dirname "$0")/.."
games=${1:-1}
dir=build/valgrind
command -v valgrind > /dev/null || { echo "valgrind_game: install valgrind" >&2; exit 2; }

# Debug information without the sanitizers, which valgrind cannot run under.
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCARDOVIA_TESTS=OFF \
    -DCARDOVIA_BENCH=ON > /dev/null
cmake --build "$dir" --target selfplay_bench > /dev/null

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect \
    --errors-for-leak-kinds=definite,indirect --track-origins=yes --error-exitcode=1 \
    --log-file="$log" "$dir/bench/selfplay_bench" "$games" || status=$?

echo "valgrind memcheck, $games headless game(s), $(valgrind --version):"
grep -E "ERROR SUMMARY|definitely lost|indirectly lost|possibly lost|still reachable|in use at exit|total heap usage" "$log" \
    | sed 's/^==[0-9]*== */  /'
if [ "$status" -ne 0 ]; then
    echo "valgrind_game: memcheck found errors:" >&2
    cat "$log" >&2
    exit 1
fi
echo "valgrind_game: clean"
