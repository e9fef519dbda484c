#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Installs the packages the project needs, then configures and builds
# everything from scratch in ./build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh
rm -rf build
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
