#!/usr/bin/env bash
# Installs the dependencies, builds everything and runs every test: the unit,
# physics, end-to-end and window tests (gcc build), then each file reader
# under libFuzzer for a bounded time (clang build).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/install-dependencies.sh"
jobs=$(nproc)

cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$top/build" -j "$jobs"
ctest --test-dir "$top/build" -j "$jobs" --output-on-failure --timeout 600 -LE fuzz

CC=clang CXX=clang++ cmake -S "$top" -B "$top/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_BUILD_GUI=OFF -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_FUZZERS=ON
cmake --build "$top/build-fuzz" -j "$jobs"
ctest --test-dir "$top/build-fuzz" -j "$jobs" --output-on-failure -L fuzz
