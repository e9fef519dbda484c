#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# The demo database on a throwaway PostgreSQL server, for trying the tool
# against a database server:
#
#   scripts/postgres-demo.sh [--rows N]   start a new server with the demo on it
#   scripts/postgres-demo.sh stop         stop the server and remove it
#
# The server lives in $CORVANTY_PG_DEMO_DIR (default
# /tmp/corvanty-postgres-demo-UID) and is reached through its unix socket
# there. Starting writes the ODBC data source CorvantyDemoPG into the user's
# ODBC configuration, saves a connection to it (login corvanty, password
# corvanty), builds the guide tables and defines the sample guides; the
# admin tool then offers CorvantyDemoPG in its Connect dialog. Starting again
# replaces the server and its data. $CORVANTY_CLI names the corvanty program
# to use; by default build/corvanty is built when needed.
set -euo pipefail
cd "$(dirname "$0")/.."

dir="${CORVANTY_PG_DEMO_DIR:-/tmp/corvanty-postgres-demo-$(id -u)}"
export CORVANTY_PG_PASSWORD="${CORVANTY_PG_PASSWORD:-corvanty}"

now() { date +%s.%N; }
took() { awk -v from="$1" -v to="$(now)" 'BEGIN { printf "%.2f", to - from }'; }

if [ "${1:-}" = "stop" ]; then
  [ $# -eq 1 ] || { echo "usage: $0 stop" >&2; exit 2; }
  started=$(now)
  scripts/postgres-cluster.sh stop "$dir"
  echo "Stopped the PostgreSQL demo server and removed $dir in $(took "$started") s."
  exit 0
fi

rows=20000
while [ $# -gt 0 ]; do
  case "$1" in
    --rows)
      [ $# -ge 2 ] || { echo "usage: $0 [--rows N] | stop" >&2; exit 2; }
      rows=$2
      shift 2
      ;;
    *) echo "usage: $0 [--rows N] | stop" >&2; exit 2 ;;
  esac
done

scripts/packages.sh postgresql
cli="${CORVANTY_CLI:-}"
if [ -z "$cli" ]; then
  scripts/packages.sh
  [ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j"$(nproc)" --target corvanty
  cli=build/corvanty
fi

started=$(now)
scripts/postgres-cluster.sh start "$dir"
export PGPASSWORD="$CORVANTY_PG_PASSWORD"
psql=(psql -X -q -v ON_ERROR_STOP=1 -h "$dir" -U corvanty)
"${psql[@]}" -d postgres -c "CREATE DATABASE corvanty_demo"
"$cli" demo-script --rows "$rows" | "${psql[@]}" -d corvanty_demo
"$cli" demo-postgres --server "$dir" --database corvanty_demo --user corvanty \
  --password "$CORVANTY_PG_PASSWORD"
# An application's role, with the least it needs to search (README.md,
# "Which rights an application needs").
"${psql[@]}" -d corvanty_demo <<'SQL'
CREATE ROLE corvanty_app LOGIN PASSWORD 'corvanty_app';
GRANT USAGE ON SCHEMA public TO corvanty_app;
GRANT EXECUTE ON FUNCTION velmorastine_search(text, text, integer) TO corvanty_app;
GRANT SELECT ON Db_Search_Guide_Tables, Db_Search_Guide_Cols TO corvanty_app;
GRANT SELECT ON customers, orders TO corvanty_app;
SQL
echo "Started the PostgreSQL demo server in $dir and loaded $rows order lines in $(took "$started") s."
echo "Stop it with: scripts/postgres-demo.sh stop"
