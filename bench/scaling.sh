#!/usr/bin/env bash
# How quillfen-cli and rsync -a grow with the number of files: on trees built
# like T4 (files of 0-200 bytes in nested folders) of 20,000 and 200,000
# files, and with --large also 1,000,000, it measures the initial copy, the
# no-op re-run and the mirror preview of an unchanged pair (rsync: -n
# --delete), each with its peak memory, and prints them as a table with the
# memory each extra file costs.
#
# It also measures what reporting costs at 200,000 files: the same runs with
# every event line written out (no --quiet; standard output to a file, which
# is what the run log does too: one write per line).
#
# Usage: bench/scaling.sh [--large] [--rounds N]
#   --large     also the million-file tree: generated on first use (about
#               5 GB and a million inodes; check df -h / df -i first), one
#               round, and the tree and its copies are deleted afterwards
#   --rounds N  interleaved rounds at the two smaller sizes (default 3)
# Environment: QUILLFEN_BENCH_DIR, QUILLFEN_CLI as for compare.sh.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
large=0
rounds=3
while (($#)); do
  case $1 in
    --large) large=1 ;;
    --rounds) rounds=${2:?}; shift ;;
    *) echo "usage: bench/scaling.sh [--large] [--rounds N]" >&2; exit 2 ;;
  esac
  shift
done
warmup=0
out_name=scaling
source "$here/lib.sh"

sizes=(t4-20k t4)
((large)) && sizes+=(t4-1m)
"$here/make-trees.sh" "${sizes[@]}"

declare -A files
for tree in "${sizes[@]}"; do
  files[$tree]=$(case $tree in t4-20k) echo 20000 ;; t4) echo 200000 ;; t4-1m) echo 1000000 ;; esac)
done

# scale TREE ROUNDS: every figure of one row of the table.
scale() {
  local tree=$1 count=$2
  measure "$tree-initial" "$count" \
    -n quillfen -p "$(fresh "$out/q")" "$cli_q sync $source_q $out_q/q --quiet" \
    -n rsync -p "$(fresh "$out/r")" "rsync -a $source_q/ $out_q/r/"
  # The copies just made are in step with the source.
  measure "$tree-no-op" "$count" \
    -n quillfen "$cli_q sync $source_q $out_q/q --quiet" \
    -n rsync "rsync -a $source_q/ $out_q/r/"
  measure "$tree-preview" "$count" \
    -n quillfen "$cli_q preview $source_q $out_q/q --mirror" \
    -n rsync "rsync -a -n --delete $source_q/ $out_q/r/"
}

for tree in "${sizes[@]}"; do
  printf -v source_q '%q' "$trees/$tree"
  if [[ $tree == t4-1m ]]; then scale "$tree" 1; else scale "$tree" "$rounds"; fi
  if [[ $tree == t4 ]]; then
    # What the event lines and the progress reports cost: the same run,
    # quiet and not, interleaved.
    measure "t4-reporting-initial" "$rounds" \
      -n quiet -p "$(fresh "$out/q")" "$cli_q sync $source_q $out_q/q --quiet" \
      -n lines -p "$(fresh "$out/q")" "$cli_q sync $source_q $out_q/q >$out_q/lines.txt"
    measure "t4-reporting-no-op" "$rounds" \
      -n quiet "$cli_q sync $source_q $out_q/q --quiet" \
      -n lines "$cli_q sync $source_q $out_q/q >$out_q/lines.txt"
  fi
  mv "$out/q" "$out/old/q" && mv "$out/r" "$out/old/r"
  [[ $tree == t4-1m ]] && mv "$trees/t4-1m" "$out/old/t4-1m" && rm "$trees/t4-1m.complete"
  discard_old
done

echo
echo "Scaling (quillfen-cli $("$cli" --version | awk '{ print $2 }'); medians of $rounds rounds," \
  "1 at a million files; peak memory in MiB, rsync's largest process)"
printf '%-9s | %-36s | %-36s | %-36s\n' files "initial copy: q / rsync (ratio)" \
  "no-op: q / rsync (ratio)" "preview: q / rsync -n (ratio)"
cell() { # SCENARIO: both medians with their peak memory, and the ratio of the medians
  printf '%.2f s %s / %.2f s %s (%s)' "${median[$1/quillfen]}" "$(mebibytes "${peak[$1/quillfen]}")" \
    "${median[$1/rsync]}" "$(mebibytes "${peak[$1/rsync]}")" \
    "$(ratio "${median[$1/quillfen]}" "${median[$1/rsync]}")"
}
for tree in "${sizes[@]}"; do
  printf '%-9s | %-36s | %-36s | %-36s\n' "${files[$tree]}" "$(cell "$tree-initial")" \
    "$(cell "$tree-no-op")" "$(cell "$tree-preview")"
done
echo
# Memory per extra file, between the smallest and the largest tree.
first=${sizes[0]} last=${sizes[-1]}
for scenario in initial no-op preview; do
  awk -v a="${peak[$first-$scenario/quillfen]}" -v b="${peak[$last-$scenario/quillfen]}" \
    -v n="${files[$first]}" -v m="${files[$last]}" -v s="$scenario" \
    'BEGIN { printf "quillfen %-8s %5.1f bytes per extra file\n", s, (b - a) * 1024 / (m - n) }'
done
echo
# Wall times of whole copies vary too much here to show a few per cent, so
# the cost is also told as the processor time the lines add.
for scenario in initial no-op; do
  key=t4-reporting-$scenario
  awk -v s="$scenario" -v q="${median[$key/quiet]}" -v l="${median[$key/lines]}" \
    -v cq="${cpu[$key/quiet]}" -v cl="${cpu[$key/lines]}" 'BEGIN {
      printf "Reporting at 200,000 files, %s: quiet %.2f s (cpu %.2f s), with every line %.2f s (cpu %.2f s);", s, q, cq, l, cl
      printf " lines cost %+.1f%% of the wall time, %+.1f%% of it in processor time (goal <= 5%%)\n", (l / q - 1) * 100, (cl - cq) / q * 100 }'
done
echo "Every timing: $results/times.csv"
