#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds the core, the command line and the core tests (which run the command
# line) from scratch in ./build-asan with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs them: any finding fails the run.
# The SQLite search extension the tests load into other programs is the
# plain build's (./build, configured here if it is not yet).
# Expects the packages setup.sh installs.
set -euo pipefail
cd "$(dirname "$0")/.."

[ -f build/CMakeCache.txt ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target corvanty_search

rm -rf build-asan
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANTY_SANITIZE=ON \
  -DCORVANTY_PLAIN_SEARCH_EXTENSION="$PWD/build/corvanty_search.so" >/dev/null
cmake --build build-asan -j"$(nproc)" --target core_tests corvanty
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1
build-asan/core_tests --gtest_brief=1
