#!/usr/bin/env bash
# What the window costs a run: the T1 tree (20,000 small files) synced
# through the view model with the main window shown offscreen, against the
# same run with no window, in interleaved rounds (the order alternates each
# round); then how fast the preview sheet of a 200,000-item plan opens and
# draws. Goal: the window adds at most 10% to the run.
#
# Usage: bench/window-run.sh [ROUNDS]     (default 7)
# Environment:
#   QUILLFEN_BENCH_DIR     trees and scratch destinations (default: bench/trees)
#   QUILLFEN_WINDOW_BENCH  the program (default: build/bin/quillfen-window-bench)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
trees=${QUILLFEN_BENCH_DIR:-$here/trees}
bench=${QUILLFEN_WINDOW_BENCH:-$here/../build/bin/quillfen-window-bench}
rounds=${1:-7}
[[ -x $bench ]] || { echo "window-run.sh: no program at $bench (build it first)" >&2; exit 1; }

"$here/make-trees.sh" t1 p200k
out=$trees/window-out
rm -rf "$out"
mkdir -p "$out/old"
# Each run starts from an empty destination; the previous one is moved aside
# and deleted untimed (see compare.sh).
fresh() { [[ ! -e $1 ]] || mv "$1" "$out/old/$(date +%s%N)"; sync; }

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

echo "Load before: $(cut -d' ' -f1-3 /proc/loadavg)"
declare -A times=()
for ((round = 0; round <= rounds; round++)); do
  modes=(headless window)
  ((round % 2)) && modes=(window headless)
  for mode in "${modes[@]}"; do
    fresh "$out/dest"
    seconds=$("$bench" sync "$mode" "$trees/t1" "$out/dest")
    # Round 0 warms the caches and is not counted.
    ((round == 0)) || times[$mode]+="$seconds"$'\n'
  done
  rm -rf "$out/old" && mkdir -p "$out/old"
done
headless=$(median <<<"${times[headless]}")
window=$(median <<<"${times[window]}")
printf 'T1 sync, %d rounds: headless median %.3f s, window median %.3f s\n' "$rounds" "$headless" "$window"
awk -v w="$window" -v h="$headless" 'BEGIN {
  r = w / h
  printf "window / headless: %.3f (goal <= 1.10: %s)\n", r, (r <= 1.10 ? "met" : "MISSED") }'
echo "every run (s): headless $(tr '\n' ' ' <<<"${times[headless]}")"
echo "               window   $(tr '\n' ' ' <<<"${times[window]}")"

fresh "$out/dest"
mkdir -p "$out/dest"
echo "Preview of $trees/p200k: $("$bench" preview "$trees/p200k" "$out/dest")"
echo "Load after: $(cut -d' ' -f1-3 /proc/loadavg)"
rm -rf "$out"
