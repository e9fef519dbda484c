// SPDX-License-Identifier: Apache-2.0
#include <stdexcept>

#include "cli/commands.h"

namespace corvanty::cli {

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"connections", "connections", "list saved connections: number, data source name, login",
       Connections},
      {"add-connection", "add-connection DSN UID [PWD]",
       "save a connection under the next number and print the number", AddConnection},
      {"remove-connection", "remove-connection N",
       "remove saved connection N (the later ones move down one number)", RemoveConnection},
      {"check", "check [--connection N]",
       "load connection N (default 1) and run the readiness check", Check},
      {"guides", "guides [--connection N]", "list guides: DSG_ID, tab, DSG_name", Guides},
      {"sql", "sql GUIDE CRITERIA [--connection N] [--dialect mssql|sqlite|postgresql] [--explain]",
       "print the statement(s) a search of the guide (name or number) runs, through its index "
       "where one serves; with another server's --dialect, the statement it would run there; "
       "--explain tells on standard error which way and why",
       Sql},
      {"search",
       "search GUIDE CRITERIA [--connection N] [--format lines|tsv|json] [--explain] "
       "[--in-database]",
       "run the search; lines prints ResultList*IDColumn*DSG_ID per result, tsv the same "
       "separated by tabs, json an array of objects; --explain tells on "
       "standard error which way each guide was searched (index or scan, and why) and the time; "
       "--in-database calls PostgreSQL's installed search service instead of the built-in "
       "engine; after rows are written with triggers off (a tool or a SQLite connection that "
       "bypasses them), run corvanty index GUIDE again: the index cannot know of such writes",
       Search},
      {"procedure-text", "procedure-text",
       "print the search procedure text exactly as installed (CR LF line ends)", ProcedureText},
      {"table-script", "table-script NAME [--dialect mssql|sqlite|postgresql]",
       "print the table builder's statement text for one guide table", TableScript},
      {"demo", "demo [--rows N] [--dir DIR]",
       "create the demo database, its ODBC data source CorvantyDemo and a saved connection; "
       "--rows N: how many order lines it has (default 20000, at least 10, at most 100000000); "
       "--dir DIR: the folder it goes in (default $XDG_DATA_HOME/corvanty, else "
       "~/.local/share/corvanty)",
       Demo},
      {"demo-script", "demo-script [--rows N]",
       "print the demo schema and rows as a script for PostgreSQL's psql (COPY data); --rows N "
       "as for demo",
       DemoScript},
      {"demo-postgres",
       "demo-postgres --server HOST|SOCKET_FOLDER [--port N] [--database NAME] --user NAME "
       "[--password PWD]",
       "for a PostgreSQL database loaded with demo-script: write the ODBC data source "
       "CorvantyDemoPG, save a connection to it, build the guide tables and define the sample "
       "guides",
       DemoPostgres},
      {"index", "index [GUIDE [--drop]] [--connection N]",
       "build (or rebuild) the guide's search index (SQLite: a trigram table kept fresh by "
       "triggers; PostgreSQL: a trigram index per search column), drop it with --drop, or list "
       "each guide's index: DSG_ID, state (absent, fresh, stale), rows (- on PostgreSQL), bytes, "
       "name; a write made with triggers off (a tool or a SQLite connection that bypasses them) "
       "leaves a SQLite index unaware of it: run corvanty index GUIDE again after one",
       Index},
      {"delete-guide", "delete-guide GUIDE [--yes] [--connection N]",
       "delete the guide (name or number) with its tables, columns and search index, in one "
       "transaction; asks first, answered No unless --yes is given",
       DeleteGuideCommand},
  };
  return commands;
}

std::string UsageOf(const std::string& name) {
  for (const Command& command : Commands())
    if (name == command.name) return command.usage;
  throw std::logic_error("no command " + name);
}

}  // namespace corvanty::cli
