// SPDX-License-Identifier: Apache-2.0
#include "bench/forms/testdialogbench.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "bench/benchguide.h"
#include "bench/benchsearch.h"
#include "connections/connectionstore.h"
#include "guides/forms/frmcorvantytest.h"
#include "ui/forms/backgroundwork.h"

namespace corvanty::bench {
namespace {

constexpr char kDataSource[] = "CorvantyTestDialog";
constexpr char kCriteria[] = "ke";  // "Markets" and "Kestrel": about 100,000 orders

struct DialogSearch {
  double total_ms = 0;    // from the click until Search is enabled again
  double longest_ms = 0;  // longest pause between turns of the event loop
  int lines = 0;          // result lines in the box
};

DialogSearch SearchOnce(const std::string& guide_name) {
  frmCorvantyTest::Instance().Show();
  frmCorvantyTest& dialog = frmCorvantyTest::Instance();
  dialog.cmbAvailableDSG->setCurrentText(QString::fromStdString(guide_name));
  dialog.txtCriteria->setText(kCriteria);

  DialogSearch result;
  QElapsedTimer clock, since_turn;
  QTimer ticks;
  ticks.setInterval(5);
  QObject::connect(&ticks, &QTimer::timeout, [&] {
    result.longest_ms = std::max(result.longest_ms, since_turn.nsecsElapsed() / 1e6);
    since_turn.restart();
  });
  clock.start();
  since_turn.start();
  ticks.start();
  dialog.cmdSearch->click();
  while (!dialog.cmdSearch->isEnabled())
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  result.total_ms = clock.nsecsElapsed() / 1e6;
  result.lines = dialog.txtResults->document()->blockCount() - 1;  // the text ends with CR LF
  dialog.Unload();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return result;
}

}  // namespace

void ReportTestDialogSearch(const BenchFolder& folder, int runs) {
  const std::string file = folder.File("demo.db");
  EnsureDemoDatabase(file, 1000000);
  InstallBenchGuide(file);
  basCorvantyAdmin::gstrConnect = AddStreamingDataSource(folder, kDataSource, file);
  basCorvantyAdmin::gstrDSN = kDataSource;
  basCorvantyAdmin::gstrUID.clear();
  basCorvantyAdmin::gstrPWD.clear();

  std::vector<double> totals, pauses;
  int lines = 0;
  for (int run = 0; run < runs; ++run) {
    const DialogSearch search = SearchOnce(BenchGuideName());
    totals.push_back(search.total_ms);
    pauses.push_back(search.longest_ms);
    lines = search.lines;
  }
  WaitForBackgroundWork();  // the search threads have ended; join them
  if (lines < 1000) throw std::runtime_error("the test dialog showed too few results");
  std::printf("\nTest dialog on the demo (%s), criteria \"%s\": %d result lines; median of %d\n",
              DescribeDatabase(file).c_str(), kCriteria, lines, runs);
  std::printf("  until the box is filled %8.1f ms\n", Median(totals));
  std::printf(
      "  longest event-loop pause %7.1f ms (the window repaints and takes clicks between)\n",
      Median(pauses));
}

}  // namespace corvanty::bench
