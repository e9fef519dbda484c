#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Each floor library compiles against a view of the source tree: its own
# folder and the floors below it. Every header of a floor is included from
# every other floor's view; it must be found exactly where this table says.
#   floors_test.sh BUILD_DIR CXX
set -euo pipefail
build=$1
cxx=$2
src="$(cd "$(dirname "$0")/../.." && pwd)/src"

# floor: the folders its files may include.
declare -A sees=(
  [ui]="ui"
  [connections]="ui connections"
  [statements]="ui connections statements"
  [schema]="ui connections statements schema"
  [index]="ui connections statements index"
  [search]="ui connections statements schema index search"
  [guides]="ui connections statements schema index search guides"
)
failures=0
for floor in "${!sees[@]}"; do
  view="$build/floors/floor_$floor"
  for folder in "${!sees[@]}"; do
    header=$(cd "$src" && ls "$folder"/*.h | head -n1)
    if echo "#include \"$header\"" | "$cxx" -std=c++17 -E -I"$view" -x c++ - >/dev/null 2>&1; then
      found=yes
    else
      found=no
    fi
    case " ${sees[$floor]} " in *" $folder "*) wanted=yes ;; *) wanted=no ;; esac
    if [ "$found" != "$wanted" ]; then
      echo "floor $floor including $header: found=$found, wanted=$wanted" >&2
      failures=$((failures + 1))
    fi
  done
done
[ "$failures" -eq 0 ] && echo "7 floors, each header where it belongs"
