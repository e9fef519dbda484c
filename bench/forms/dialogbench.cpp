// SPDX-License-Identifier: Apache-2.0
// corvanty_dialog_bench: how long the guide editors take to open against a
// large catalogue (2,000 tables of 10 columns each), measured on the real
// dialogs on Qt's offscreen platform. Each run loads the dialog afresh and
// ends once it is shown with its lists filled. Last, the test dialog's
// search of a large result on the demo.
#include <stdlib.h>

#include <QApplication>
#include <QListWidget>
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/benchcatalogue.h"
#include "bench/benchodbc.h"
#include "bench/benchsearch.h"
#include "bench/forms/testdialogbench.h"
#include "connections/connectionstore.h"
#include "guides/currentguide.h"
#include "guides/forms/frmcorvantycolumns.h"
#include "guides/forms/frmcorvantytables.h"

namespace corvanty::bench {
namespace {

// Microseconds from the request to open the dialog until it is shown; the
// list is then checked to hold at least expected entries.
template <class Dialog>
double TimeOpening(const char* mode, QListWidget* Dialog::*list, int expected) {
  basCorvantyAdmin::gstrDSGMode = mode;
  basCorvantyAdmin::gintDSGID = 1;
  double time = Microseconds([] { Dialog::Instance().Show(); });
  Dialog& dialog = Dialog::Instance();
  if ((dialog.*list)->count() < expected)
    throw std::runtime_error(dialog.objectName().toStdString() + " listed too few entries");
  dialog.Unload();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return time;
}

template <class Dialog>
void Report(const char* label, const char* mode, QListWidget* Dialog::*list, int expected,
            int runs) {
  std::vector<double> samples;
  TimeOpening(mode, list, expected);  // warm-up
  for (int run = 0; run < runs; ++run) samples.push_back(TimeOpening(mode, list, expected));
  std::printf("  %-15s mode %-4s %8.1f ms\n", label, mode, Median(samples) / 1000);
}

int Run(int runs) {
  BenchFolder folder;
  UseOwnOdbcConfiguration(folder);
  CreateCatalogueDatabase(folder.File("catalogue.db"));
  basCorvantyAdmin::gstrConnect =
      AddStreamingDataSource(folder, "CorvantyCatalogue", folder.File("catalogue.db"));
  // What the tables editor hands a new guide: every table.
  basCorvantyAdmin::gavarTables.assign(1, std::string());
  for (const std::string& table : CatalogueTables()) basCorvantyAdmin::gavarTables.push_back(table);

  const int columns = kCatalogueTables * kCatalogueColumnsPerTable;
  std::printf("Catalogue: %d tables, %d columns; median of %d openings (target < 200 ms)\n",
              kCatalogueTables, columns, runs);
  Report("tables editor", "New", &frmCorvantyTables::lstAvailableTbls, kCatalogueTables, runs);
  Report("tables editor", "Edit", &frmCorvantyTables::lstSelectedTbls, kCatalogueTables, runs);
  Report("columns editor", "New", &frmCorvantyColumns::lstAvailableCols, columns, runs);
  Report("columns editor", "Edit", &frmCorvantyColumns::lstAvailableCols, columns, runs);
  ReportTestDialogSearch(folder, std::min(runs, 5));
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
    int runs = argc == 3 && std::string(argv[1]) == "--runs" ? std::stoi(argv[2]) : 9;
    if (argc != 1 && argc != 3)
      throw std::invalid_argument("usage: corvanty_dialog_bench [--runs N]");
    return corvanty::bench::Run(runs);
  } catch (const std::exception& error) {
    std::cerr << "corvanty_dialog_bench: " << error.what() << '\n';
    return 1;
  }
}
