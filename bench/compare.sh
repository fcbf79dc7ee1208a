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
runs=10
large_runs=5
warmup=1
case ${1:-} in
  --quick) runs=3; large_runs=3; warmup=0 ;;
  "") ;;
  *) echo "usage: bench/compare.sh [--quick]" >&2; exit 2 ;;
esac

source "$here/lib.sh"
"$here/make-trees.sh" t1 t2 t3 t4
t1=$trees/t1 t2=$trees/t2 t3=$trees/t3 t4=$trees/t4

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
initial_copy "T4-initial" "$t4" "$large_runs"

# The no-op re-runs start from a full copy each tool made itself.
printf -v t4_q '%q' "$t4"
for dest in q r; do eval "$(fresh "$out/$dest")"; done
"$cli" sync "$t4" "$out/q" --quiet
rsync -a "$t4/" "$out/r/"
measure "T4-no-op" "$large_runs" \
  -n quillfen "$cli_q sync $t4_q $out_q/q --quiet" \
  -n rsync "rsync -a $t4_q/ $out_q/r/"

# The scenarios below change their source, so they work on a copy of T1.
src=$out/src
src_q=$out_q/src
cp -a "$t1" "$src"
for dest in q r; do eval "$(fresh "$out/$dest")"; done
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
row T4-initial rsync 0.8
row T1-no-op rsync 0.5
row T4-no-op rsync 0.4
row T1-1%-changed
row T1-mirror-10%-extra
row T2-verify
echo
for scenario in T1-initial T4-initial T4-no-op; do
  memory_ratio=$(ratio "${peak[$scenario/quillfen]}" "${peak[$scenario/rsync]}")
  echo "Peak memory, $scenario: quillfen $(mebibytes "${peak[$scenario/quillfen]}")," \
    "rsync $(mebibytes "${peak[$scenario/rsync]}") (largest process; ratio $memory_ratio;" \
    "goal <= 1: $(verdict "$memory_ratio" 1))"
done
echo "Every timing: $results/times.csv"
