#!/usr/bin/env bash
# Generates the benchmark trees, each once (a tree is kept until removed):
#   T1  20,000 files of 1-16 KiB over 1,020 folders (about 170 MB)
#   T2  four files of 256 MiB
#   T3  T1 plus 200 files of 1-4 MiB
#   T4  200,000 files of 0-200 bytes in 4,000 folders nested up to 18 deep
#   P200K  200,000 files of 0-2 KiB (only when asked for: a preview this long)
# and, for the scaling table, trees built like T4 with other file counts:
#   t4-20k  20,000 files in 400 folders
#   t4-1m   1,000,000 files in 20,000 folders (about 5 GB of disk, 1.02 M inodes)
# The trees go to $QUILLFEN_BENCH_DIR (default: bench/trees). Every byte comes
# from a fixed seed, so the trees are the same on every machine.
#
# Usage: bench/make-trees.sh [t1] [t2] [t3] [t4] [t4-20k] [t4-1m] [p200k]   (default: t1 t2 t3 t4)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
trees=${QUILLFEN_BENCH_DIR:-$here/trees}
tool=$trees/.bin/make-tree

# The generator is a small C++ program compiled here rather than by the
# project's build, so that the benchmarks need nothing the build does not.
if [[ ! -x $tool || $here/make-tree.cpp -nt $tool ]]; then
  mkdir -p "$(dirname "$tool")"
  g++ -std=c++20 -O2 -o "$tool" "$here/make-tree.cpp"
fi

kinds=("$@")
((${#kinds[@]})) || kinds=(t1 t2 t3 t4)
for kind in "${kinds[@]}"; do
  case $kind in
    t1 | t2 | t3 | p200k) arguments=("$kind") ;;
    t4) arguments=(many 200000) ;;
    t4-20k) arguments=(many 20000) ;;
    t4-1m) arguments=(many 1000000) ;;
    *) echo "make-trees.sh: unknown tree '$kind'" >&2; exit 2 ;;
  esac
  # The marker sits beside the tree, not in it, so that it is never synced.
  if [[ ! -e $trees/$kind.complete ]]; then
    echo "Generating $kind in $trees/$kind"
    rm -rf "${trees:?}/$kind"
    "$tool" "${arguments[0]}" "$trees/$kind" "${arguments[@]:1}"
    touch "$trees/$kind.complete"
  fi
done
