#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Sets everything up, prepares the demo database when no connection is
# saved yet, and starts the administration tool. Only the two programs are
# built, and only what changed since the last run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target corvanty-admin corvanty
if [ -z "$(build/corvanty connections 2>/dev/null)" ]; then
  build/corvanty demo
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting the admin tool on a virtual X display." >&2
  exec xvfb-run -a build/corvanty-admin "$@"
fi
exec build/corvanty-admin "$@"
