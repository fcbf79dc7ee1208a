# Shared by the benchmark scripts (sourced, not run). Before sourcing, set
# `out` (scratch folder, emptied here) and `warmup` (0 or 1).
#
# Timing rules: the tools run in interleaved rounds, every timed run starts
# from a settled file system (sync), and no timed run follows a large
# deletion (see fresh).

for tool in rsync /usr/bin/time awk; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is missing (run scripts/deps.sh)" >&2; exit 1; }
done

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
trees=${QUILLFEN_BENCH_DIR:-$here/trees}
cli=${QUILLFEN_CLI:-$here/../build/bin/quillfen-cli}
[[ -x $cli ]] || { echo "$0: no quillfen-cli at $cli (build it first)" >&2; exit 1; }
"$cli" --help | grep -q '^  sync ' || { echo "$0: $cli has no sync verb yet" >&2; exit 1; }
make_tree=$trees/.bin/make-tree

out=$trees/${out_name:-out}
results=$out/results
rm -rf "$out"
mkdir -p "$results" "$out/old"

declare -A median minimum peak cpu
# Each command runs through a shell: quote every path once.
printf -v cli_q '%q' "$cli"
printf -v make_tree_q '%q' "$make_tree"
printf -v out_q '%q' "$out"

# A timed run starts from an empty destination. The previous one is moved
# aside rather than deleted: ext4 without a journal passes over every inode
# freed in the last minute when it looks for a free one, so a run right
# after a large deletion spends most of its time there, whatever the tool.
# What was moved aside is deleted between scenarios, untimed, and the next
# scenario waits out that minute.
fresh() { printf 'if [ -e %q ]; then mv %q %q/old/$(date +%%s%%N); fi; mkdir -p %q && sync' "$1" "$1" "$out" "$1"; }
discard_old() {
  if [[ -n $(ls -A "$out/old") ]]; then
    rm -rf "$out/old" && mkdir -p "$out/old" && sync && sleep "${settle_seconds:-61}"
  fi
}

# measure NAME RUNS (-n LABEL [-p PREPARE] COMMAND)...: times the commands
# in interleaved rounds (each round runs every command once, in turn) and
# records each one's median in seconds as median[NAME/LABEL], its best time
# as minimum[...], its median processor time (user and system, every
# process) as cpu[...] and its largest peak resident memory in KiB as
# peak[...] (for a tool that forks, its largest process). Interleaving matters on
# shared machines: a disk that slows down part-way through would otherwise
# count against whichever tool happened to run last.
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
  echo "== $name (load average $(cut -d' ' -f1-3 /proc/loadavg))"
  local -A times=() memory=() processor=()
  local round i start kib
  for ((round = -warmup; round < count; round++)); do
    for i in "${!labels[@]}"; do
      bash -c "${prepares[$i]}" >/dev/null 2>&1
      start=$EPOCHREALTIME
      /usr/bin/time -f '%M %U %S' -o "$results/peak" bash -c "${commands[$i]}" >/dev/null 2>&1 ||
        { echo "$0: failed: ${commands[$i]}" >&2; exit 1; }
      ((round < 0)) && continue
      times[${labels[$i]}]+="$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.6f", b - a }') "
      kib=$(tail -1 "$results/peak" | cut -d' ' -f1)
      ((kib > ${memory[${labels[$i]}]:-0})) && memory[${labels[$i]}]=$kib
      processor[${labels[$i]}]+="$(tail -1 "$results/peak" | awk '{ print $2 + $3 }') "
    done
  done
  for i in "${!labels[@]}"; do
    local key=$name/${labels[$i]} sorted
    sorted=$(tr ' ' '\n' <<<"${times[${labels[$i]}]}" | grep . | sort -g)
    minimum[$key]=$(head -1 <<<"$sorted")
    median[$key]=$(median_of <<<"$sorted")
    peak[$key]=${memory[${labels[$i]}]}
    cpu[$key]=$(tr ' ' '\n' <<<"${processor[${labels[$i]}]}" | grep . | sort -g | median_of)
    printf '  %-9s median %.3f s  (min %.3f s, max %.3f s, %d runs)  cpu %.2f s  peak %s KiB\n' \
      "${labels[$i]}" "${median[$key]}" "$(head -1 <<<"$sorted")" "$(tail -1 <<<"$sorted")" "$count" \
      "${cpu[$key]}" "${peak[$key]}"
    echo "$name,${labels[$i]},${peak[$key]},${median[$key]},${times[${labels[$i]}]}" >>"$results/times.csv"
  done
  discard_old
}

median_of() { # numbers on standard input, one a line, in order
  awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}
ratio() { # A B
  if [[ -n ${1:-} && -n ${2:-} ]]; then awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; else echo "-"; fi
}
seconds() { if [[ -n ${1:-} ]]; then awk -v s="$1" 'BEGIN { printf "%.3f s", s }'; else echo "-"; fi; }
mebibytes() { if [[ -n ${1:-} ]]; then awk -v k="$1" 'BEGIN { printf "%.1f MiB", k / 1024 }'; else echo "-"; fi; }
verdict() { # RATIO LIMIT
  [[ $1 == - ]] && { echo ""; return; }
  awk -v r="$1" -v l="$2" 'BEGIN { print (r <= l ? "met" : "MISSED") }'
}
