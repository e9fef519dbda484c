#!/usr/bin/env bash
# Sets everything up, builds from scratch and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cd build
ctest --output-on-failure -j"$(nproc)"
