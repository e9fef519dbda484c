#!/usr/bin/env bash
# Sets everything up, builds from scratch and runs the whole test suite: each
# test in its own process, then each test binary whole in one process, then
# the core tests again in a build checked by the sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
(
  cd build
  ctest --output-on-failure -j"$(nproc)"
  ./core_tests --gtest_brief=1
  QT_QPA_PLATFORM=offscreen ./gui_tests --gtest_brief=1
)
scripts/sanitizers.sh
