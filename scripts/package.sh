#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds the Debian packages corvanty_VERSION_ARCH.deb and, for the
# PostgreSQL major version NN that pg_config names,
# postgresql-NN-corvanty-search_VERSION_ARCH.deb (the search extension) into
# the current folder from ./build (configured here when it is not yet),
# building only what the packages install; prints their paths, corvanty's
# first.
set -euo pipefail
out=$PWD
cd "$(dirname "$0")/.."
scripts/packages.sh
[ -f build/build.ninja ] ||
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target corvanty_installables
rm -rf build/package
(cd build && cpack --config CPackConfig.cmake >/dev/null)
for deb in build/package/corvanty_*.deb build/package/postgresql-*-corvanty-search_*.deb; do
  mv -f "$deb" "$out/"
  echo "$out/${deb##*/}"
done
