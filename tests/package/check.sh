#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds the Debian package, lints it, unpacks it into a scratch root and runs
# the unpacked programs there, with a clean environment and scratch ODBC and
# registry files: nothing from the build folder or the user's files is used.
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

deb=$(cd "$scratch" && "$OLDPWD"/scripts/package.sh | tail -n 1)
echo "package: $deb ($(stat -c %s "$deb") bytes)"
dpkg-deb --info "$deb" | grep -E '^ (Depends|Suggests):'
lint_status=0
lints=$(lintian --fail-on error "$deb" 2>&1) || lint_status=$?
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

# The manual page names every command that --help lists, each at the start
# of its entry.
page=$(zcat "$root/usr/share/man/man1/corvanty.1.gz" | sed 's/\\-/-/g')
for command in $(awk '/^  [a-z]/ {print $1}' <<<"$help"); do
  check "the manual page names $command" grep -Eq "^$command( |$)" <<<"$page"
done
check "the desktop entry is valid" \
  desktop-file-validate "$root/usr/share/applications/corvanty-admin.desktop"

# Completion, read from the unpacked program's help: {words typed, offered}.
completions=(
  "corvanty se|search"
  "corvanty --registry r.db de|demo demo-script demo-postgres delete-guide"
  "corvanty --|--registry --yes --help --version"
  "corvanty search Customers Lisbon --f|--format"
  "corvanty search Customers Lisbon --format |lines tsv json"
  "corvanty table-script x --dialect p|postgresql"
  "corvanty check --connection |"
)
for row in "${completions[@]}"; do
  offered=$(PATH="$root/usr/bin:/usr/bin:/bin" bash -c '
    source "$1"
    read -ra COMP_WORDS <<<"$2"
    [[ $2 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _corvanty
    echo "${COMPREPLY[*]}"' - "$root/usr/share/bash-completion/completions/corvanty" "${row%%|*}")
  check "completing '${row%%|*}' offers '${row#*|}' (not '$offered')" test "$offered" = "${row#*|}"
done

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
