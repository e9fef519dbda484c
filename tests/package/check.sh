#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds the Debian packages, lints them, unpacks corvanty's into a scratch
# root and runs the unpacked programs there, with a clean environment and
# scratch ODBC and registry files: nothing from the build folder or the
# user's files is used. The search extension's package is installed, used
# on a throwaway PostgreSQL cluster and purged (postgresextension.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
scratch=$(mktemp -d /tmp/corvanty-package.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
passed=0 failed=0
check() {  # check NAME COMMAND...: one verdict line per check
  if "${@:2}"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $1"
  fi
}

debs=$(cd "$scratch" && "$OLDPWD"/scripts/package.sh)
deb=$(grep '/corvanty_[^/]*\.deb$' <<<"$debs")
extension_deb=$(grep '/postgresql-[0-9]*-corvanty-search_[^/]*\.deb$' <<<"$debs")
for package in "$deb" "$extension_deb"; do
  echo "package: $package ($(stat -c %s "$package") bytes)"
  dpkg-deb --info "$package" | grep -E '^ (Depends|Recommends|Suggests):'
done
lint_status=0
lints=$(lintian --fail-on error "$deb" "$extension_deb" 2>&1) || lint_status=$?
lints=$(grep -v 'root privileges' <<<"$lints") || true
echo "${lints:-lintian: no tags}"
check "lintian runs and reports no error" test "$lint_status" -eq 0

root=$scratch/root
dpkg-deb --extract "$deb" "$root"
run() {  # the unpacked corvanty, nothing else
  env -i PATH=/usr/bin:/bin HOME="$scratch" ODBCSYSINI="$scratch" ODBCINI="$scratch/odbc.ini" \
    CORVANTY_REGISTRY="$scratch/registry.db" "$@"
}
version=$(dpkg-deb --field "$deb" Version)
check "corvanty --version names the package's version" \
  test "$(run "$root/usr/bin/corvanty" --version)" = "corvanty $version"
check "corvanty-admin --version needs no display" \
  test "$(run "$root/usr/bin/corvanty-admin" --version)" = "corvanty-admin $version"
help=$(run "$root/usr/bin/corvanty" --help)
check "corvanty --help lists the commands" grep -q '^  demo \[--rows N\] \[--dir DIR\]$' <<<"$help"

run "$root/usr/bin/corvanty" demo --dir "$scratch/data" >/dev/null
found=$(run "$root/usr/bin/corvanty" search 1 Lisbon)
check "the demo search finds customers in Lisbon" grep -q . <<<"$found"
check "each result is a Lisbon customer of guide 1" \
  test -z "$(grep -Ev '^[A-Z][a-z]+ [A-Z][a-z]+ (Trading|Markets), Lisbon, Portugal\*[0-9]+\*1$' <<<"$found")"
extension=$(find "$root/usr/lib" -name corvanty_search.so)
check "the demo's data source loads the unpacked search extension" \
  grep -qx "LoadExt=$extension" "$scratch/odbc.ini"
check "the unpacked search extension finds what corvanty search finds" \
  test "$(sqlite3 -separator '*' "$scratch/data/corvanty-demo.db" ".load ${extension%.so}" \
    "SELECT * FROM velmorastine_search('1', 'Lisbon')")" = "$found"

check "bash-completion is recommended" grep -qw bash-completion <(dpkg-deb --field "$deb" Recommends)
check "corvanty-admin without a display says so in one line and exits with 1" \
  test "$(run "$root/usr/bin/corvanty-admin" 2>&1 >/dev/null; echo "exit $?")" = \
  "corvanty-admin: no display to open its window on (DISPLAY or WAYLAND_DISPLAY); the command line corvanty needs none
exit 1"

# The manual pages, as man shows their source: the sections a user looks
# for; corvanty's names every command that --help lists at the start of its
# entry, and every option of --help and of each command's usage.
page() { zcat "$root/usr/share/man/man1/$1.1.gz" | sed 's/\\-/-/g; s/\\f[BIRP]//g; s/\\f(CW//g'; }
commands=$(awk '$0 == "Commands:" {on = 1; next} /^$/ {on = 0} on && /^  [a-z]/ {print $1}' <<<"$help")
for program in corvanty corvanty-admin; do
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" ENVIRONMENT FILES EXAMPLES \
    "SEE ALSO" $([ $program = corvanty ] && echo COMMANDS); do
    check "the manual page $program(1) has the section $section" \
      grep -Eq "^\.SH \"?$section\"?$" <(page $program)
  done
done
for command in $commands; do
  check "the manual page names $command" grep -Eq "^$command( |$)" <(page corvanty)
  for option in $(run "$root/usr/bin/corvanty" "$command" --help | sed '/^$/q' | grep -o -- '--[a-z-]*'); do
    check "the manual page names $command's $option" \
      grep -Eq "^$command .*$option( |]|$)" <(page corvanty)
  done
done
for option in $(grep -o -- '^  --[a-z-]*' <<<"$help"); do
  check "the manual page explains $option" grep -Eq "^$option( |$)" <(page corvanty)
done
for variable in CORVANTY_REGISTRY ODBCINI XDG_CONFIG_HOME XDG_DATA_HOME; do
  check "the manual page explains $variable" grep -Eq "^\.B $variable$" <(page corvanty)
done

check "the desktop entry is valid" \
  desktop-file-validate "$root/usr/share/applications/corvanty-admin.desktop"
check "the AppStream metadata is valid" \
  appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
# The installed README shows only pictures that are installed beside it.
doc=$root/usr/share/doc/corvanty
for picture in $(grep -o '](docs/[^)]*)' "$doc/README.md" | tr -d '()]'); do
  check "the README's picture $picture is installed" test -s "$doc/$picture"
done

# Completion, read from the unpacked program's help and, for guides, from
# corvanty guides of the demo's connection: {words typed, offered}. Folders
# end in "/" (and take no space after them).
mkdir -p "$scratch/folder/inner"
completions=(
  "corvanty se|search"
  "corvanty --registry r.db de|demo demo-script demo-postgres delete-guide"
  "corvanty --|--registry --yes --help --version"
  "corvanty search Customers Lisbon --f|--format"
  "corvanty search Customers Lisbon --format |lines tsv json"
  "corvanty table-script x --dialect p|postgresql"
  "corvanty check --connection |"
  "corvanty search |1 Customers\\ by\\ name\\ and\\ city 2 Orders\\ by\\ ship\\ city\\ and\\ customer"
  "corvanty index Cu|Customers\\ by\\ name\\ and\\ city"
  "corvanty delete-guide --yes 2|2"
  "corvanty search 1 |"
  "corvanty --registry $scratch/none.db search |"
  "corvanty demo --dir $scratch/fo|$scratch/folder/"
  "corvanty --registry $scratch/fold|$scratch/folder/"
)
for row in "${completions[@]}"; do
  offered=$(run env PATH="$root/usr/bin:/usr/bin:/bin" bash -c '
    source "$1"
    read -ra COMP_WORDS <<<"$2"
    [[ $2 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _corvanty
    echo "${COMPREPLY[*]}"' - "$root/usr/share/bash-completion/completions/corvanty" "${row%%|*}")
  check "completing '${row%%|*}' offers '${row#*|}' (not '$offered')" test "$offered" = "${row#*|}"
done

source tests/package/postgresextension.sh

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
