#!/usr/bin/env bash
# check_layers.sh [SRC_DIR]: the folders of src/ form layers, and a file may
# include only headers of its own folder or of a folder in a lower layer. Prints
# the include graph between folders (with the number of includes) and every
# include that runs against the order; fails when there is one. A file outside
# ui/qt and app that includes a Qt header fails too: the game runs without one.
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}
cd "$src"

# Bottom to top. Folders on one line share a layer and may not include each other.
layers=(
  "strategy"
  "model"
  "ui"
  "layout"
  "scoring"
  "rules"
  "deck"
  "opponent player"
  "flow"
  "ui/headless ui/qt"
  "app"
)

declare -A rank
for i in "${!layers[@]}"; do
  for folder in ${layers[$i]}; do rank[$folder]=$i; done
done

folder_of() {  # src-relative path -> its folder, ui/qt and ui/headless apart from ui
  case $1 in
    ui/*/*) echo "${1%/*}" ;;
    *) echo "${1%%/*}" ;;
  esac
}

declare -A count
bad=0
while IFS= read -r file; do
  from=$(folder_of "$file")
  if [ -z "${rank[$from]+x}" ]; then
    echo "not in any layer: $file"; bad=1; continue
  fi
  while IFS= read -r line; do
    if [[ $line =~ ^#include\ \"([^\"]+)\" ]]; then
      header=${BASH_REMATCH[1]}
      [[ $header == */* ]] || continue
      to=$(folder_of "$header")
      [ "$to" = "$from" ] && continue
      count["$from -> $to"]=$(( ${count["$from -> $to"]:-0} + 1 ))
      if [ -z "${rank[$to]+x}" ] || [ "${rank[$to]}" -ge "${rank[$from]}" ]; then
        echo "against the order: $file includes $header"; bad=1
      fi
    elif [[ $line =~ ^#include\ \<Q ]] && [[ $from != ui/qt && $from != app ]]; then
      echo "a Qt header outside the window layer: $file: $line"; bad=1
    fi
  done < "$file"
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort)

echo "layers, bottom to top: $(printf '%s | ' "${layers[@]}" | sed 's/ | $//')"
for edge in "${!count[@]}"; do
  from=${edge%% -> *}
  printf '%02d %s (%d)\n' "${rank[$from]:-99}" "$edge" "${count[$edge]}"
done | sort | cut -c4-
exit $bad
