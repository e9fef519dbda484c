#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Starts the admin tool on a fresh demo database under a virtual X display,
# walks through the main window and each dialog with the keyboard as a user
# would, and saves a screenshot of each into docs/. Nothing of the user's own
# ODBC configuration or registry is read or written.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh
for tool in xdotool:xdotool import:imagemagick; do
  command -v "${tool%%:*}" >/dev/null || {
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${tool##*:}" >/dev/null
  }
done
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target corvanty-admin corvanty >/dev/null

work=$(mktemp -d)
export CORVANTY_REGISTRY=$work/registry.db ODBCINI=$work/odbc.ini ODBCSYSINI=$work
display=:$((90 + RANDOM % 100))
cleanup() {
  kill "${admin:-}" "${xvfb:-}" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
build/corvanty demo --dir "$work" >/dev/null
Xvfb "$display" -screen 0 1280x900x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
sleep 1
build/corvanty-admin >/dev/null 2>&1 &
admin=$!

# The window with this exact title, once it is shown.
window() {
  local pattern
  pattern=$(printf '%s' "$1" | sed 's/[][().*+?^$|\\{}]/\\&/g')
  xdotool search --sync --onlyvisible --name "^$pattern\$" | head -1
}
# Gives the window the keyboard, then types the keys into it.
keys() {
  local id
  id=$(window "$1")
  shift
  xdotool windowfocus --sync "$id"
  xdotool key --delay 300 "$@"
  sleep 0.6
}
# Gives the window the keyboard and types the text into it.
type_text() {
  xdotool windowfocus --sync "$(window "$1")"
  xdotool type --delay 30 "$2"
}
shot() { import -window "$(window "$1")" "docs/$2.png"; }
menu() { keys "Database Search Guide Administrator - Velmorastine Corvanty" "$@"; }

shot "Corvanty Admin Db Connect" connect
keys "Corvanty Admin Db Connect" Return

# Tools > Test Db Search Guide: the first sample guide, searched for Lisbon.
menu alt+t Return
type_text "Test Db Search Guide" "Lisbon"
keys "Test Db Search Guide" Return
sleep 1.5
shot "Test Db Search Guide" test
import -window root -crop 960x675+0+0 docs/main.png
keys "Test Db Search Guide" Escape

# Administer > Db Search Tables > the second sample guide.
menu alt+a t
keys "Administer Db Search Guides" Down Return
shot "Db Search Guide Table(s)" tables
keys "Db Search Guide Table(s)" Escape

# Administer > Db Search Columns > the second sample guide, its city column.
menu alt+a c Return  # two entries answer to c: the second is Columns
keys "Administer Db Search Guides" Down Return
keys "Search Column Administration" Down Down Down Down Down Down Down Down Down
shot "Search Column Administration" columns
keys "Search Column Administration" Escape

# File > New > Db Search Guide, typed in.
menu alt+f n s
type_text "New Db Search Guide" "Suppliers by city"
shot "New Db Search Guide" newguide
keys "New Db Search Guide" Escape

echo "Screenshots saved in docs/: $(cd docs && ls ./*.png | tr '\n' ' ')"
