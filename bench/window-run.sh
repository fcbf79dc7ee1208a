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
# The program's own messages go to a log; its last line is the figures.
log=$out/messages.log
declare -A wall=() process=() main=()
for ((round = 0; round <= rounds; round++)); do
  modes=(headless window)
  ((round % 2)) && modes=(window headless)
  for mode in "${modes[@]}"; do
    fresh "$out/dest"
    read -r w p m < <("$bench" sync "$mode" "$trees/t1" "$out/dest" 2>>"$log" | tail -1)
    # Round 0 warms the caches and is not counted.
    ((round == 0)) || { wall[$mode]+="$w"$'\n'; process[$mode]+="$p"$'\n'; main[$mode]+="$m"$'\n'; }
  done
  rm -rf "$out/old" && mkdir -p "$out/old"
done

row() { # LABEL ARRAY-NAME
  local -n values=$2
  printf '  %-22s headless %7.3f s   window %7.3f s\n' "$1" \
    "$(median <<<"${values[headless]}")" "$(median <<<"${values[window]}")"
}
echo "T1 sync through the view model, medians of $rounds rounds:"
row "wall time" wall
row "processor, process" process
row "processor, main thread" main
# The window's work is all on the main thread: its extra time there,
# against the whole run, is its cost, and a busy disk does not blur it.
awk -v hw="$(median <<<"${wall[headless]}")" -v ww="$(median <<<"${wall[window]}")" \
    -v hm="$(median <<<"${main[headless]}")" -v wm="$(median <<<"${main[window]}")" 'BEGIN {
  cost = (wm - hm) / hw
  printf "  window / headless wall time: %.3f\n", ww / hw
  printf "  the window'"'"'s extra main-thread time: %.3f s = %.1f%% of the run (goal <= 10%%: %s)\n",
    wm - hm, cost * 100, (cost <= 0.10 ? "met" : "MISSED") }'
for mode in headless window; do
  echo "  every $mode run (wall s): $(tr '\n' ' ' <<<"${wall[$mode]}")"
done

fresh "$out/dest"
mkdir -p "$out/dest"
echo "Preview sheet of $trees/p200k: $("$bench" preview "$trees/p200k" "$out/dest" 2>>"$log" | tail -1)"
echo "Load after: $(cut -d' ' -f1-3 /proc/loadavg)"
rm -rf "$out"
