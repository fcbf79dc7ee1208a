#!/usr/bin/env bash
# Builds Quillfen and starts it. Arguments are passed to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
# The same build as scripts/test.sh, so running one after the other rebuilds nothing.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLFEN_WERROR=ON >/dev/null
cmake --build build -j "$(nproc)" >&2

# The build puts every program in build/bin; build/bin/quillfen-cli is the
# command-line front end.
exec build/bin/quillfen "$@"
