#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds the Debian package corvanty_VERSION_ARCH.deb into the current folder
# from ./build (configured here when it is not yet), building only what the
# package installs.
set -euo pipefail
out=$PWD
cd "$(dirname "$0")/.."
scripts/packages.sh
[ -f build/build.ninja ] ||
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target corvanty_installables
rm -rf build/package
(cd build && cpack --config CPackConfig.cmake >/dev/null)
for deb in build/package/corvanty_*.deb; do
  mv -f "$deb" "$out/"
  echo "$out/${deb##*/}"
done
