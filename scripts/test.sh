#!/usr/bin/env bash
# Builds everything as a packager would (Release, -O3) and runs every test,
# then builds the layers without a user interface under AddressSanitizer and
# UndefinedBehaviorSanitizer and runs their tests again. Warnings are errors in
# both. Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh

jobs=$(nproc)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== Build (Release) =="
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLFEN_WERROR=ON >/dev/null
cmake --build build -j "$jobs"

echo "== The README's run command =="
# Runs the program the way a user does, so a drifting build layout fails here.
version=$(QT_QPA_PLATFORM=offscreen bash scripts/run.sh --version)
grep -qF "$(sed -n 's/^project(Quillfen VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)" <<<"$version" ||
    { echo "scripts/run.sh --version printed: $version" >&2; exit 1; }
echo "$version"

echo "== Build (AddressSanitizer + UndefinedBehaviorSanitizer) =="
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DQUILLFEN_SANITIZE=ON -DQUILLFEN_WITH_UI=OFF -DQUILLFEN_WERROR=ON >/dev/null
cmake --build build-sanitize -j "$jobs"

echo "== Tests (sanitizers) =="
ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

echo "== Tests =="
ctest --test-dir build --output-on-failure -j "$jobs"
