#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Sets everything up, builds from scratch, checks the layout of the C++
# files and runs the whole test suite: each test in its own process, then
# each test binary whole in one process, then the Debian packages' check,
# then the core tests again in a build checked by the sanitizers. The
# PostgreSQL search extension is installed into the server's folders
# first, so that the server offers it to the tests (the packages' check
# purges its package, and with it those files: installed again after it). The first
# run is the full one: the random tests run their full size
# (CORVANTY_TEST_SIZE, 1000 unless set; CORVANTY_TEST_SEED repeats a seed). The tests
# that need a live PostgreSQL server share a throwaway cluster started here
# (and must not skip); it is stopped and removed at the end, whatever
# happened.
# Clusters that earlier runs left behind when killed (this script's and the
# test processes' own, known by their folder names) are removed first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/packages.sh postgresql

# Every C++ file as .clang-format lays it out.
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

for stray in /tmp/corvanty-ci-pg.* /tmp/corvanty-test-pg-*; do
  [ ! -d "$stray" ] || scripts/postgres-cluster.sh stop-orphan "$stray"
done

CORVANTY_TEST_PG_SOCKET=$(mktemp -u /tmp/corvanty-ci-pg.XXXXXX)
export CORVANTY_TEST_PG_SOCKET CORVANTY_REQUIRE_POSTGRES=1
trap 'scripts/postgres-cluster.sh stop "$CORVANTY_TEST_PG_SOCKET"' EXIT
trap 'exit 130' INT TERM HUP
scripts/postgres-cluster.sh start "$CORVANTY_TEST_PG_SOCKET"

cmake --install build --component postgresql_extension >/dev/null
(
  cd build
  CORVANTY_TEST_SIZE=${CORVANTY_TEST_SIZE:-1000} ctest --output-on-failure -j"$(nproc)"
  ./core_tests --gtest_brief=1
  QT_QPA_PLATFORM=offscreen ./gui_tests --gtest_brief=1
)
tests/package/check.sh
cmake --install build --component postgresql_extension >/dev/null
scripts/sanitizers.sh
