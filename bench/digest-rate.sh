#!/usr/bin/env bash
# Compares SHA-256 throughput on a file already in the page cache:
# `openssl dgst -sha256` against `quillfen-cli digest FILE` when the binary
# has that verb (otherwise only openssl is measured). Goal: quillfen at
# least 0.9 x openssl's bytes per second.
#
# Usage: bench/digest-rate.sh [FILE]   (default: the first T2 file)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
trees=${QUILLFEN_BENCH_DIR:-$here/trees}
cli=${QUILLFEN_CLI:-$here/../build/bin/quillfen-cli}
file=${1:-}
if [[ -z $file ]]; then
  "$here/make-trees.sh" t2
  file=$trees/t2/large-0.bin
fi
cat "$file" >/dev/null # into the page cache
bytes=$(stat -c %s "$file")

commands=(-n openssl "openssl dgst -sha256 $file")
if [[ -x $cli ]] && "$cli" --help | grep -q '^  digest '; then
  commands+=(-n quillfen "$cli digest $file")
else
  echo "digest-rate.sh: $cli has no digest verb; measuring openssl alone" >&2
fi
csv=$(mktemp)
trap 'rm -f "$csv"' EXIT
hyperfine --warmup 1 --runs 5 --style basic --export-csv "$csv" "${commands[@]}"
echo
tail -n +2 "$csv" | while IFS=, read -r name _ _ median _; do
  awk -v n="$name" -v b="$bytes" -v s="$median" 'BEGIN { printf "%-9s %8.0f MB/s\n", n, b / s / 1e6 }'
done
