#!/usr/bin/env bash
# Times quillfen-cli sync against rsync -a and cp -a on the benchmark trees
# and prints medians, ratios and peak memory. Ratios are what to quote: the
# machines are shared and noisy.
#
# Usage: bench/compare.sh [--quick]
#   --quick   three runs per measurement instead of ten (five for the large
#             files), and no warm-up run
# Environment:
#   QUILLFEN_BENCH_DIR  trees and scratch destinations (default: bench/trees)
#   QUILLFEN_CLI        the binary to measure (default: build/bin/quillfen-cli)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
trees=${QUILLFEN_BENCH_DIR:-$here/trees}
cli=${QUILLFEN_CLI:-$here/../build/bin/quillfen-cli}
runs=10
large_runs=5
warmup=1
case ${1:-} in
  --quick) runs=3; large_runs=3; warmup=0 ;;
  "") ;;
  *) echo "usage: bench/compare.sh [--quick]" >&2; exit 2 ;;
esac

for tool in rsync /usr/bin/time awk; do
  command -v "$tool" >/dev/null || { echo "compare.sh: $tool is missing (run scripts/deps.sh)" >&2; exit 1; }
done
[[ -x $cli ]] || { echo "compare.sh: no quillfen-cli at $cli (build it first)" >&2; exit 1; }
"$cli" --help | grep -q '^  sync ' || { echo "compare.sh: $cli has no sync verb yet" >&2; exit 1; }

"$here/make-trees.sh"
make_tree=$trees/.bin/make-tree
t1=$trees/t1 t2=$trees/t2 t3=$trees/t3
out=$trees/out
results=$out/results
rm -rf "$out"
mkdir -p "$results"

declare -A median minimum
# Hyperfine runs each command through a shell: quote every path once.
printf -v cli_q '%q' "$cli"
printf -v make_tree_q '%q' "$make_tree"
printf -v out_q '%q' "$out"
# A timed run starts from an empty destination. The previous one is moved
# aside rather than deleted: deleting tens of thousands of files right before
# a run makes the file system's search for free inodes dominate every tool's
# time. What was moved aside is deleted between scenarios, untimed.
mkdir -p "$out/old"
fresh() { printf 'if [ -e %q ]; then mv %q %q/old/$(date +%%s%%N); fi; mkdir -p %q && sync' "$1" "$1" "$out" "$1"; }
discard_old() { rm -rf "$out/old" && mkdir -p "$out/old" && sync; }

# measure NAME RUNS (-n LABEL [-p PREPARE] COMMAND)...: times the commands
# in interleaved rounds (each round runs every command once, in turn) and
# records each one's median in seconds as median[NAME/LABEL]. Interleaving
# matters on shared machines: a disk that slows down part-way through would
# otherwise count against whichever tool happened to run last.
measure() {
  local name=$1 count=$2
  shift 2
  local -a labels=() prepares=() commands=()
  while (($#)); do
    local label=$2 prepare=true
    shift 2
    if [[ $1 == -p ]]; then prepare=$2; shift 2; fi
    labels+=("$label") prepares+=("$prepare") commands+=("$1")
    shift
  done
  echo
  echo "== $name"
  local -A times=()
  local round i start
  for ((round = -warmup; round < count; round++)); do
    for i in "${!labels[@]}"; do
      bash -c "${prepares[$i]}" >/dev/null 2>&1
      start=$EPOCHREALTIME
      bash -c "${commands[$i]}" >/dev/null 2>&1 || { echo "compare.sh: failed: ${commands[$i]}" >&2; exit 1; }
      ((round < 0)) || times[${labels[$i]}]+="$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.6f", b - a }') "
    done
  done
  for i in "${!labels[@]}"; do
    local sorted
    sorted=$(tr ' ' '\n' <<<"${times[${labels[$i]}]}" | grep . | sort -g)
    minimum[$name/${labels[$i]}]=$(head -1 <<<"$sorted")
    median[$name/${labels[$i]}]=$(awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }' <<<"$sorted")
    printf '  %-9s median %.3f s  (min %.3f s, max %.3f s, %d runs)\n' "${labels[$i]}" \
      "${median[$name/${labels[$i]}]}" "$(head -1 <<<"$sorted")" "$(tail -1 <<<"$sorted")" "$count"
    echo "$name,${labels[$i]},${median[$name/${labels[$i]}]},${times[${labels[$i]}]}" >>"$results/times.csv"
  done
  discard_old
}

initial_copy() { # NAME TREE RUNS
  local tree
  printf -v tree '%q' "$2"
  measure "$1" "$3" \
    -n quillfen -p "$(fresh "$out/q")" "$cli_q sync $tree $out_q/q --quiet" \
    -n rsync -p "$(fresh "$out/r")" "rsync -a $tree/ $out_q/r/" \
    -n cp -p "$(fresh "$out/c")" "cp -a $tree/. $out_q/c/"
}

initial_copy "T1-initial" "$t1" "$runs"
initial_copy "T2-initial" "$t2" "$large_runs"
initial_copy "T3-initial" "$t3" "$runs"

# The scenarios below change their source, so they work on a copy of T1.
src=$out/src
src_q=$out_q/src
cp -a "$t1" "$src"
for dest in q r; do eval "$(fresh "$out/$dest")"; done # the no-op runs start from a full copy
"$cli" sync "$src" "$out/q" --quiet
rsync -a "$src/" "$out/r/"

measure "T1-no-op" "$runs" \
  -n quillfen "$cli_q sync $src_q $out_q/q --quiet" \
  -n rsync "rsync -a $src_q/ $out_q/r/"

change="$make_tree_q change $src_q 1 && sync"
measure "T1-1%-changed" "$runs" \
  -n quillfen -p "$change" "$cli_q sync $src_q $out_q/q --quiet" \
  -n rsync -p "$change" "rsync -a $src_q/ $out_q/r/"

measure "T1-mirror-10%-extra" "$runs" \
  -n quillfen -p "$make_tree_q extras $out_q/q 10 && sync" \
  "$cli_q sync $src_q $out_q/q --mirror --quiet" \
  -n rsync -p "$make_tree_q extras $out_q/r 10 && sync" "rsync -a --delete $src_q/ $out_q/r/"

printf -v t2_q '%q' "$t2"
digest_both="cp -a $t2_q/. $out_q/c/ && (cd $t2_q && find . -type f -exec sha256sum {} +) >/dev/null"
digest_both+=" && (cd $out_q/c && find . -type f -exec sha256sum {} +) >/dev/null"
measure "T2-verify" "$large_runs" \
  -n quillfen -p "$(fresh "$out/q")" "$cli_q sync $t2_q $out_q/q --verify --quiet" \
  -n cp -p "$(fresh "$out/c")" "$digest_both"

# Peak resident memory of one T1 initial copy. rsync forks helpers; the figure
# is its largest process, as GNU time reports it.
peak_kib() { # DEST COMMAND...
  eval "$(fresh "$1")"
  shift
  /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }'
}
memory_quillfen=$(peak_kib "$out/q" "$cli" sync "$t1" "$out/q" --quiet)
memory_rsync=$(peak_kib "$out/r" rsync -a "$t1/" "$out/r/")

ratio() { # A B
  if [[ -n ${1:-} && -n ${2:-} ]]; then awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; else echo "-"; fi
}
seconds() { if [[ -n ${1:-} ]]; then awk -v s="$1" 'BEGIN { printf "%.3f s", s }'; else echo "-"; fi; }
verdict() { # RATIO LIMIT
  [[ $1 == - ]] && { echo ""; return; }
  awk -v r="$1" -v l="$2" 'BEGIN { print (r <= l ? "met" : "MISSED") }'
}

echo
echo "Medians (quillfen-cli $("$cli" --version | awk '{ print $2 }'), $runs runs; T2 $large_runs runs)"
printf '%-22s %10s %10s %10s %9s %9s  %s\n' scenario quillfen rsync "cp(+sha)" q/rsync q/cp goal
row() { # SCENARIO GOAL-COLUMN GOAL-LIMIT
  local q=${median[$1/quillfen]:-} r=${median[$1/rsync]:-} c=${median[$1/cp]:-}
  local qr qc goal="" best
  qr=$(ratio "$q" "$r")
  qc=$(ratio "$q" "$c")
  case ${2:-} in
    rsync) goal="<= $3 x rsync: $(verdict "$qr" "$3")"
           best=$(ratio "${minimum[$1/quillfen]:-}" "${minimum[$1/rsync]:-}") ;;
    cp) goal="<= $3 x cp: $(verdict "$qc" "$3")"
        best=$(ratio "${minimum[$1/quillfen]:-}" "${minimum[$1/cp]:-}") ;;
  esac
  [[ -n $goal ]] && goal+=" (best runs: $best)"
  printf '%-22s %10s %10s %10s %9s %9s  %s\n' "$1" "$(seconds "$q")" "$(seconds "$r")" \
    "$(seconds "$c")" "$qr" "$qc" "$goal"
}
row T1-initial rsync 0.6
row T2-initial cp 1.1
row T3-initial
row T1-no-op rsync 0.5
row T1-1%-changed
row T1-mirror-10%-extra
row T2-verify
echo
memory_ratio=$(ratio "$memory_quillfen" "$memory_rsync")
echo "Peak memory, T1 initial copy: quillfen ${memory_quillfen} KiB, rsync ${memory_rsync} KiB" \
  "(ratio $memory_ratio; goal <= 1: $(verdict "$memory_ratio" 1))"
echo "Every timing: $results/times.csv"
