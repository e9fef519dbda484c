#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# A throwaway PostgreSQL cluster in a folder of its own, reached only through
# the unix socket in that folder (no network port is opened):
#
#   scripts/postgres-cluster.sh start DIR          create DIR, create and start the cluster in it
#   scripts/postgres-cluster.sh stop DIR           stop the cluster and remove DIR
#   scripts/postgres-cluster.sh stop-server DIR    stop the server only, keeping its data
#   scripts/postgres-cluster.sh start-server DIR   start the server of DIR again
#   scripts/postgres-cluster.sh watch DIR          start the cluster, print "ready" once it
#                                                  serves, and stop and remove it when
#                                                  standard input ends
#   scripts/postgres-cluster.sh stop-orphan DIR    stop and remove the cluster if the process
#                                                  that started it has ended
#   scripts/postgres-cluster.sh start-replica DIR PRIMARY
#                                                  create DIR and start in it a hot standby
#                                                  streaming from the cluster in PRIMARY (one
#                                                  this script made); stop, stop-server and
#                                                  start-server take DIR like any other
#
# start replaces a cluster this script made in DIR before, and records the
# process that ran the script as the cluster's owner. The socket is
# DIR/.s.PGSQL.5432; the superuser is "corvanty", whose password is
# $CORVANTY_PG_PASSWORD (default "corvanty"), asked for on every login.
# The server does not sync to disk: the cluster is for trying and testing.
# initdb refuses to run as root, so as root the server runs as the user
# postgres (made by the postgresql package), which must be able to reach DIR.
# Expects the packages postgresql and postgresql-contrib.
set -euo pipefail

usage() {
  echo "usage: $0 start|stop|stop-server|start-server|watch|stop-orphan DIR" >&2
  echo "       $0 start-replica DIR PRIMARY" >&2
  exit 2
}
absolute() {
  case "$1" in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac
}
if [ "${1:-}" = start-replica ]; then
  [ $# -eq 3 ] || usage
  primary=$(absolute "$3")
else
  [ $# -eq 2 ] || usage
fi
action=$1
dir=$(absolute "$2")
marker="$dir/.corvanty-postgres-cluster"
password="${CORVANTY_PG_PASSWORD:-corvanty}"

bindir="${CORVANTY_PG_BINDIR:-$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n1)}"
if [ -z "$bindir" ] || [ ! -x "$bindir/initdb" ]; then
  echo "PostgreSQL's server programs are not installed (package postgresql)." >&2
  exit 1
fi

# Runs a command as the user the server runs as.
as_server_user() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

require_ours() {
  if [ ! -f "$marker" ]; then
    echo "$dir holds no cluster made by $0: left as it is." >&2
    exit 1
  fi
}

# Stops the server, ending the sessions it has, if it runs.
stop_server() {
  [ -f "$dir/data/postmaster.pid" ] || return 0
  as_server_user "$bindir/pg_ctl" -D "$dir/data" -m fast -w -t 30 stop >/dev/null ||
    as_server_user "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null
}

start_server() {
  if ! as_server_user "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start >/dev/null; then
    cat "$dir/server.log" >&2
    exit 1
  fi
}

# A process's number and start time, which together name it even after the
# number is reused; nothing when it has ended.
process_identity() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 0
  local fields
  read -r -a fields <<<"${stat##*) }"  # after "pid (name) ": the start time is the 20th
  echo "$1 ${fields[19]}"
}

# Makes DIR, owned by the process that ran the script, for a server's data.
make_cluster_folder() {
  stop_cluster
  local socket="$dir/.s.PGSQL.5432"
  if [ ${#socket} -gt 107 ]; then
    echo "The folder $dir is too long a path for the server's socket: choose a shorter one." >&2
    exit 1
  fi
  mkdir -m 0700 "$dir"
  # Written whole in one rename: a marker is never seen without its owner.
  process_identity "$PPID" >"$marker.new"
  mv "$marker.new" "$marker"
  if [ "$(id -u)" -eq 0 ]; then
    chown postgres: "$dir"
    if ! runuser -u postgres -- test -w "$dir"; then
      rm -rf "$dir"
      echo "The user postgres cannot reach $dir: choose a folder it can reach, such as one under /tmp." >&2
      exit 1
    fi
  fi
}

stop_cluster() {
  [ -e "$dir" ] || return 0
  require_ours
  stop_server || true
  rm -rf "$dir"
}

start_cluster() {
  make_cluster_folder
  # The password reaches initdb through a file only the server's user reads.
  local pwfile="$dir/password"
  (umask 077 && printf '%s\n' "$password" >"$pwfile")
  [ "$(id -u)" -ne 0 ] || chown postgres: "$pwfile"
  if ! as_server_user "$bindir/initdb" -D "$dir/data" -U corvanty --pwfile="$pwfile" \
    --auth=scram-sha-256 --encoding=UTF8 --locale=C.UTF-8 --no-sync >"$dir/initdb.log" 2>&1; then
    cat "$dir/initdb.log" >&2
    rm -f "$pwfile"
    exit 1
  fi
  rm -f "$pwfile"
  local quoted_dir=${dir//\'/\'\'}
  cat >>"$dir/data/postgresql.conf" <<EOF
listen_addresses = ''
unix_socket_directories = '$quoted_dir'
fsync = off
synchronous_commit = off
full_page_writes = off
EOF
  start_server
  # Trigram indexes (corvanty index) need pg_trgm; in public every schema finds it.
  PGPASSWORD="$password" "$bindir/psql" -X -q -h "$dir" -U corvanty -d postgres \
    -c "CREATE EXTENSION IF NOT EXISTS pg_trgm SCHEMA public" >/dev/null
}

# A copy of the primary's data taken while it runs (pg_basebackup -R marks it
# a standby and writes how to reach the primary), served from DIR's socket,
# answering reads while it replays what the primary writes.
start_replica() {
  if [ ! -f "$primary/.corvanty-postgres-cluster" ]; then
    echo "$primary holds no cluster made by $0." >&2
    exit 1
  fi
  make_cluster_folder
  if ! as_server_user env PGPASSWORD="$password" "$bindir/pg_basebackup" -h "$primary" -U corvanty \
    -D "$dir/data" -R -X stream --checkpoint=fast --no-sync >"$dir/basebackup.log" 2>&1; then
    cat "$dir/basebackup.log" >&2
    exit 1
  fi
  local quoted_dir=${dir//\'/\'\'}
  cat >>"$dir/data/postgresql.conf" <<EOF
unix_socket_directories = '$quoted_dir'
hot_standby = on
EOF
  start_server
}

# Orphans are clusters whose owner has ended without stopping them (it was
# killed). A folder without the marker may be one being made, and a marker
# naming no owner was made before owners were recorded, perhaps for a run
# still going: both are left.
stop_orphan() {
  [ -f "$marker" ] || return 0
  local owner
  owner=$(cat "$marker")
  if [ -z "$owner" ] || [ "$(process_identity "${owner%% *}")" = "$owner" ]; then return 0; fi
  stop_cluster
}

# The cluster lives exactly as long as the writing end of standard input
# stays open: its holder closing it, or ending however it ends (even by
# SIGKILL), stops and removes the cluster. The watcher runs in a session of
# its own, as no one's child, so that neither Ctrl-C at the terminal nor a
# kill of the caller's process tree (CTest's timeout) ends it first.
watch_cluster() {
  if [ -z "${CORVANTY_PG_WATCHER:-}" ]; then
    CORVANTY_PG_WATCHER=1 exec setsid --fork "$0" watch "$dir"
  fi
  trap '' INT TERM HUP PIPE
  if ! "$0" start "$dir"; then
    "$0" stop "$dir" 2>/dev/null || true  # what a failed start made
    exit 1
  fi
  echo ready || true # a caller that has gone reads nothing
  cat >/dev/null || true
  "$0" stop "$dir"
}

case "$action" in
  start) start_cluster ;;
  stop) stop_cluster ;;
  stop-server) require_ours && stop_server ;;
  start-server) require_ours && start_server ;;
  watch) watch_cluster ;;
  stop-orphan) stop_orphan ;;
  start-replica) start_replica ;;
  *) usage ;;
esac
