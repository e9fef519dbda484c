#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Installs every Debian package the project needs that is not installed yet;
# with the argument postgresql, those a PostgreSQL server for trying and
# testing needs instead (the server, its extensions and its ODBC driver;
# the server's package brings its client programs, pg_basebackup among them,
# which starts replicas).
set -euo pipefail

case "${1:-}" in
  "")
    PACKAGES=(
      cmake ninja-build g++ pkg-config clang-format git
      qt6-base-dev libgl-dev fonts-dejavu-core
      unixodbc unixodbc-dev odbcinst libsqliteodbc
      libsqlite3-dev sqlite3
      postgresql-server-dev-15
      libgtest-dev libgmock-dev
      xvfb xauth
      help2man dpkg-dev file lintian desktop-file-utils appstream
      libqt6svg6
    )
    ;;
  postgresql) PACKAGES=(postgresql postgresql-contrib odbc-postgresql python3-psycopg) ;;
  *)
    echo "usage: $0 [postgresql]" >&2
    exit 2
    ;;
esac

missing=()
for package in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
