#!/usr/bin/env bash
# The whole check: the normal build and its tests, the same suite built with
# AddressSanitizer and UndefinedBehaviorSanitizer in build-asan (with the
# fuzz targets), then a short run of every fuzz target. Stops at the first
# failure with a non-zero status.
#
#   bash scripts/test.sh
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
cmake -S . -B build -G Ninja && cmake --build build && ctest --test-dir build --output-on-failure -j2

CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKASLO_SANITIZE=ON -DKASLO_FUZZ=ON
cmake --build build-asan
# Left out: the server's flat-memory check, since ASan's quarantine keeps
# freed memory on purpose and the process's size then says nothing.
(source scripts/sanitizer_env.sh && export GTEST_FILTER='-*KeepMemoryFlat' &&
  ctest --test-dir build-asan --output-on-failure -j2)

bash scripts/fuzz.sh
