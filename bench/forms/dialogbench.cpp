// corvanty_dialog_bench: how long the guide editors take to open against a
// large catalogue (default 2,000 tables of 10 columns each), measured on the
// real dialogs on Qt's offscreen platform. Each run loads the dialog afresh
// and ends once it is shown with its lists filled.
#include <sqlite3.h>
#include <stdlib.h>

#include <QApplication>
#include <QListWidget>
#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/benchodbc.h"
#include "bench/benchsearch.h"
#include "connections/connectionstore.h"
#include "engine/searchguidetables.h"
#include "guides/currentguide.h"
#include "guides/forms/frmcorvantytables.h"

namespace corvanty::bench {
namespace {

// Creates tables T0001... with columns c01..c10 and the guide tables, and a
// guide whose FROM clause names the first ten tables.
void MakeCatalogue(const std::string& file, int tables, int columns) {
  std::string script = "BEGIN;";
  for (std::string_view table : kSearchGuideTableBuildOrder) {
    const std::vector<std::string> statements = *SqliteTableStatements(std::string(table));
    for (const std::string& statement : statements) script += statement + ";";
  }
  std::string from;
  for (int t = 1; t <= tables; ++t) {
    char name[16];
    std::snprintf(name, sizeof name, "T%04d", t);
    script += std::string("CREATE TABLE ") + name + " (";
    for (int c = 1; c <= columns; ++c)
      script += (c > 1 ? ", c" : "c") + std::to_string(c) + " TEXT";
    script += ");";
    if (t <= 10) from += std::string(from.empty() ? "" : ", ") + name;
  }
  script +=
      "INSERT INTO Db_Search_Guides (DSG_name) VALUES ('Wide');"
      "INSERT INTO Db_Search_Guide_Tables (DSG_ID, FROM_clause, WHERE_clause) VALUES (1, 'FROM " +
      from + "', 'WHERE ');COMMIT;";
  sqlite3* db = nullptr;
  char* error = nullptr;
  if (sqlite3_open(file.c_str(), &db) != SQLITE_OK ||
      sqlite3_exec(db, script.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string text = error ? error : sqlite3_errmsg(db);
    sqlite3_free(error);
    sqlite3_close(db);
    throw std::runtime_error("cannot make the catalogue in " + file + ": " + text);
  }
  sqlite3_close(db);
}

// Microseconds from the request to open the tables editor until it is shown.
double OpenTablesEditor(const char* mode) {
  basCorvantyAdmin::gstrDSGMode = mode;
  basCorvantyAdmin::gintDSGID = 1;
  double time = Microseconds([] { frmCorvantyTables::Instance().Show(); });
  frmCorvantyTables& editor = frmCorvantyTables::Instance();
  if (editor.lstAvailableTbls->count() + editor.lstSelectedTbls->count() < 10)
    throw std::runtime_error("the tables editor listed no tables");
  editor.Unload();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return time;
}

int Run(int argc, char** argv) {
  int tables = 2000, columns = 10, runs = 9;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    if (name == "--tables")
      tables = std::stoi(argv[i + 1]);
    else if (name == "--columns")
      columns = std::stoi(argv[i + 1]);
    else if (name == "--runs")
      runs = std::stoi(argv[i + 1]);
    else
      throw std::invalid_argument("unknown option " + name);
  }
  BenchFolder folder;
  UseOwnOdbcConfiguration(folder);
  MakeCatalogue(folder.File("catalogue.db"), tables, columns);
  basCorvantyAdmin::gstrConnect =
      AddStreamingDataSource(folder, "CorvantyCatalogue", folder.File("catalogue.db"));

  std::printf("Catalogue: %d tables, %d columns; median of %d openings (target < 200 ms)\n", tables,
              tables * columns, runs);
  for (const char* mode : {"New", "Edit"}) {
    std::vector<double> samples;
    OpenTablesEditor(mode);  // warm-up
    for (int run = 0; run < runs; ++run) samples.push_back(OpenTablesEditor(mode));
    std::printf("  tables editor, mode %-4s %8.1f ms\n", mode, Median(samples) / 1000);
  }
  return 0;
}

}  // namespace
}  // namespace corvanty::bench

int main(int argc, char** argv) {
  if (!getenv("DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The offscreen platform's notes about window calls it ignores are noise here.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  QApplication app(argc, argv);
  try {
    return corvanty::bench::Run(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "corvanty_dialog_bench: " << error.what() << '\n';
    return 1;
  }
}
