# SPDX-License-Identifier: Apache-2.0
# Sourced by check.sh, with its check, $scratch, $root (the unpacked
# corvanty package), $version and $extension_deb: the search extension's
# package installed on this machine with dpkg (as root, as CI runs it), its
# extension created by a database owner that is no superuser on a throwaway
# cluster, searched through, updated and dropped; then the package purged.
major=$(pg_config --version | sed -E 's/^PostgreSQL ([0-9]+).*$/\1/')
check "the extension's package is named for PostgreSQL $major" \
  test "$(dpkg-deb --field "$extension_deb" Package)" = "postgresql-$major-corvanty-search"
check "the extension's package has corvanty's version" \
  test "$(dpkg-deb --field "$extension_deb" Version)" = "$version"
check "the extension's package depends on the server package postgresql-$major" \
  grep -qE "(^|, )postgresql-$major(,|$)" <<<"$(dpkg-deb --field "$extension_deb" Depends)"

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
extension_package=$(dpkg-deb --field "$extension_deb" Package)
extension_files=("$(pg_config --pkglibdir)/corvanty_search.so"
  "$(pg_config --sharedir)/extension/corvanty_search.control"
  "$(pg_config --sharedir)/extension/corvanty_search--1.0.sql"
  "/usr/share/doc/$extension_package/copyright")
cluster=$(mktemp -u /tmp/corvanty-test-pg-package.XXXXXX)
extension_cleanup() {
  scripts/postgres-cluster.sh stop "$cluster" || true
  $sudo dpkg --purge "$extension_package" >/dev/null 2>&1 || true
  rm -rf "$scratch"
}
trap extension_cleanup EXIT

dpkg_quietly() {  # dpkg's trigger chatter only when it fails
  $sudo dpkg "$@" >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log" >&2 && return 1; }
}
dpkg_quietly -i "$extension_deb"
for file in "${extension_files[@]}"; do
  check "the package installed $file" \
    test "$(dpkg-query -S "$file" 2>/dev/null)" = "$extension_package: $file"
done

scripts/postgres-cluster.sh start "$cluster"
sql() {  # sql LOGIN PASSWORD DATABASE STATEMENT: the rows psql prints, | between values
  PGPASSWORD=$2 PGOPTIONS="-c client_min_messages=warning" \
    psql -X -q -A -t -v ON_ERROR_STOP=1 -h "$cluster" -U "$1" -d "$3" -c "$4"
}
superuser() { sql corvanty "${CORVANTY_PG_PASSWORD:-corvanty}" postgres "$1"; }
owner() { sql corvanty_owner owner shop "SET search_path = shop; $1"; }
superuser "CREATE ROLE corvanty_owner LOGIN PASSWORD 'owner'"
superuser "CREATE DATABASE shop OWNER corvanty_owner"
guide_tables=""
for table in Db_Search_Guides Db_Search_Guide_Tables Db_Search_Guide_Cols; do
  guide_tables+=$(run "$root/usr/bin/corvanty" table-script "$table" --dialect postgresql)
done
# Guide 1 finds customers by name and city, and shows them so.
owner "CREATE SCHEMA shop; SET search_path = shop; $guide_tables
  CREATE TABLE customers (id int PRIMARY KEY, name text, city text);
  INSERT INTO customers VALUES (1, 'Ann Lee', 'Lisbon'), (2, 'Bo Berg', 'Oslo');
  INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Customers');
  INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause) VALUES (1, 'FROM customers c');
  INSERT INTO Db_Search_Guide_Cols (DSG_ID, DSG_column_seq_no, Column_qualifier, Column_name,
    Show_in_list, Is_search_column, List_column_separator, Is_key_column) VALUES
    (1, 1, 'c', 'id', 0, 0, '+'' ''+', -1), (1, 2, 'c', 'name', -1, -1, '+'', ''+', 0),
    (1, 3, 'c', 'city', -1, -1, '+'' ''+', 0)" >/dev/null

check "a database owner that is no superuser creates the extension (it is trusted)" \
  owner "CREATE EXTENSION corvanty_search SCHEMA shop"
check "the extension is its creator's, version 1.0, in the schema shop" \
  test "$(owner "SELECT extname, extversion, extnamespace::regnamespace,
    pg_get_userbyid(extowner) FROM pg_extension WHERE extname = 'corvanty_search'")" = \
  "corvanty_search|1.0|shop|corvanty_owner"
check "a search through the extension finds the guide's row" \
  test "$(owner "SELECT concat_ws('*', resultlist, idcolumn, dsg_id)
    FROM velmorastine_search('1', 'lisbon')")" = "Ann Lee, Lisbon*1*1"
check "ALTER EXTENSION corvanty_search UPDATE runs" \
  owner "ALTER EXTENSION corvanty_search UPDATE"
check "DROP EXTENSION corvanty_search runs" owner "DROP EXTENSION corvanty_search"
check "the extension's functions went with it" \
  test "$(owner "SELECT count(*) FROM pg_proc WHERE proname LIKE 'velmorastine%'")" = 0
scripts/postgres-cluster.sh stop "$cluster"

dpkg_quietly --purge "$extension_package"
for file in "${extension_files[@]}"; do
  check "the purge removed $file" test ! -e "$file"
done
check "dpkg knows $extension_package no more" \
  test -z "$(dpkg-query -W -f='${Status}' "$extension_package" 2>/dev/null | grep installed)"
